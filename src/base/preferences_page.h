// One page of the preferences dialog. Each subsystem brings its own; the
// dialog shows them and writes what changed in one settings batch on OK.
#ifndef MIROKATA_BASE_PREFERENCES_PAGE_H_
#define MIROKATA_BASE_PREFERENCES_PAGE_H_

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace mirokata {

class Settings;
class SettingsBatch;

class PreferencesPage {
 public:
  virtual ~PreferencesPage() = default;
  // The tab's caption.
  virtual std::string Title() const = 0;
  // The page's widget, owned by `parent`: a new one for each opening of
  // the dialog.
  virtual QWidget* Widget(QWidget* parent) = 0;
  // Fills the widget from the settings.
  virtual void Load(Settings& settings) = 0;
  // Checks the input; a non-empty result is the message that keeps the
  // dialog open.
  virtual std::string Validate() { return {}; }
  // Writes the page's changed keys into the dialog's one batch.
  virtual void Save(SettingsBatch& batch) = 0;
};

// The pages in the order the dialog shows them.
class PreferencesPages {
 public:
  void Add(std::unique_ptr<PreferencesPage> page) {
    pages_.push_back(std::move(page));
  }
  const std::vector<std::unique_ptr<PreferencesPage>>& pages() const {
    return pages_;
  }

 private:
  std::vector<std::unique_ptr<PreferencesPage>> pages_;
};

}  // namespace mirokata

#endif  // MIROKATA_BASE_PREFERENCES_PAGE_H_
