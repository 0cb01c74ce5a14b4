#include "schedule/ui/entry_editor_parts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "base/entry_changes.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "richtext/text_document_rtf_qt.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr char kDiscardNotice[] =
    "日付の設定が変更されたので\r編集中のものは破棄されました。";
constexpr char kChangedElsewhere[] =
    "この予定は他のウィンドウで変更されています。\r上書きしますか？";

}  // namespace

void EditorNeighbours::EditorClosed(const QWidget* window,
                                    const Services& services,
                                    std::string_view section,
                                    bool schedule_changed) const {
  StorePosition(window, services, section);
  if (services.cues) services.cues->Play("clo");
  if (schedule_changed && rebuild_schedule_list) rebuild_schedule_list();
  if (rebuild_manager) rebuild_manager();
}

CivilDate TodayOfClock(const Clock* clock) {
  const LocalTime now = clock->Now();
  return {now.year, now.month, now.day};
}

QFont EditorFont() {
  QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"));
  font.setPointSize(9);
  return font;
}

QPushButton* MakeButton(QWidget* parent, const char* caption,
                        const char* hint) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setToolTip(QString::fromUtf8(hint));
  // A button without a caption of its own is known by its hint.
  button->setAccessibleName(QString::fromUtf8(*caption ? caption : hint));
  button->setAccessibleDescription(QString::fromUtf8(hint));
  button->setAutoDefault(false);
  return button;
}

QTabBar* MakeTabs(QWidget* parent, int count) {
  auto* tabs = new QTabBar(parent);
  for (int i = 0; i < count; ++i) tabs->addTab(QString());
  tabs->setToolTip(QString::fromUtf8("記入ｽｹｼﾞｭｰﾙの選択"));
  tabs->setAccessibleName(QString::fromUtf8("記入ｽｹｼﾞｭｰﾙの選択"));
  tabs->setExpanding(false);
  tabs->setDrawBase(false);
  return tabs;
}

QGroupBox* MakeRadioGroup(QWidget* parent, const char* title,
                          std::initializer_list<const char*> captions,
                          QRadioButton** buttons) {
  auto* group = new QGroupBox(QString::fromUtf8(title), parent);
  group->setAccessibleName(group->title());
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(4, 2, 4, 2);
  column->setSpacing(0);
  auto* exclusive = new QButtonGroup(group);
  int i = 0;
  for (const char* caption : captions) {
    auto* radio = new QRadioButton(QString::fromUtf8(caption), group);
    radio->setAccessibleName(radio->text());
    exclusive->addButton(radio);
    column->addWidget(radio);
    buttons[i++] = radio;
  }
  buttons[0]->setChecked(true);
  return group;
}

QGroupBox* MakeWeekGroup(QWidget* parent, QCheckBox** boxes) {
  auto* group = new QGroupBox(QString::fromUtf8("週指定"), parent);
  group->setAccessibleName(group->title());
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setSpacing(0);
  const char* const captions[] = {"第１週", "第２週", "第３週",
                                  "第４週", "第５週", "最終週"};
  for (int i = 0; i < 6; ++i) {
    auto* box = new QCheckBox(QString::fromUtf8(captions[i]), group);
    box->setAccessibleName(box->text());
    box->setChecked(i < 5);
    grid->addWidget(box, i / 3, i % 3);
    boxes[i] = box;
  }
  return group;
}

QLineEdit* MakeCopyString(QWidget* parent) {
  auto* line = new QLineEdit(parent);
  line->setReadOnly(true);
  line->setToolTip(QString::fromUtf8("コピー用の文字列です。(CTRL+C)"));
  line->setAccessibleName(QString::fromUtf8("コピー用の文字列です。(CTRL+C)"));
  QPalette look = line->palette();
  look.setColor(QPalette::Base, look.color(QPalette::Window));
  line->setPalette(look);
  MakeEditMenu(line, line);
  return line;
}

QMenu* MakeEditMenu(QWidget* target, QWidget* parent) {
  auto* menu = new QMenu(parent);
  auto* text = qobject_cast<QTextEdit*>(target);
  auto* line = qobject_cast<QLineEdit*>(target);
  const auto add = [menu](const char* caption, std::function<void()> run) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    QObject::connect(action, &QAction::triggered, menu, std::move(run));
  };
  add("やり直し(&U)", [text, line] { text ? text->undo() : line->undo(); });
  add("切り抜き(&T)", [text, line] { text ? text->cut() : line->cut(); });
  add("コピー(&C)", [text, line] { text ? text->copy() : line->copy(); });
  add("貼り付け(&P)", [text, line] { text ? text->paste() : line->paste(); });
  add("すべてを選択(&S)",
      [text, line] { text ? text->selectAll() : line->selectAll(); });
  target->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(target, &QWidget::customContextMenuRequested, menu,
                   [menu, target](const QPoint& at) {
                     menu->popup(target->mapToGlobal(at));
                   });
  return menu;
}

EntryTextEdit::EntryTextEdit(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  // The text stands 6 pixels clear of the left and right edges.
  setViewportMargins(6, 0, 6, 0);
  MakeEditMenu(this, this);
}

void EntryTextEdit::LoadEntry(std::string_view data) {
  QTextDocument* doc = document();
  LoadRichText(data, doc);
  // Loaded text takes the box's own colour.
  QTextCursor all(doc);
  all.select(QTextCursor::Document);
  QTextCharFormat colour;
  colour.setForeground(palette().text());
  all.mergeCharFormat(colour);
  doc->clearUndoRedoStacks();
  doc->setModified(false);
  moveCursor(QTextCursor::Start);
}

void EntryTextEdit::AppendLines(const QString& text) {
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  if (!document()->isEmpty()) end.insertBlock();
  end.insertText(text);
  setTextCursor(end);
}

bool EntryTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText() || !RtfOfMimeData(source).isEmpty();
}

void EntryTextEdit::insertFromMimeData(const QMimeData* source) {
  const QByteArray rtf = RtfOfMimeData(source);
  if (!rtf.isEmpty()) {
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    LoadRichText(std::string_view(rtf.constData(), rtf.size()), &pasted);
    textCursor().insertFragment(QTextDocumentFragment(&pasted));
    return;
  }
  if (source->hasText()) textCursor().insertText(source->text());
}

RepetitionBoxes::RepetitionBoxes(QWidget* parent, int tab_count)
    : QObject(parent),
      tabs_(MakeTabs(parent, tab_count)),
      move_group_(MakeRadioGroup(
          parent, "休日なら", {"そのまま", "前日へ", "翌日へ"}, move_.data())),
      saturday_group_(MakeRadioGroup(parent, "土曜日は", {"平日", "休日扱い"},
                                     saturday_.data())),
      weeks_group_(MakeWeekGroup(parent, weeks_.data())) {
  connect(tabs_, &QTabBar::currentChanged, this, [this] {
    if (!showing_) emit TabChanged();
  });
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
           move_[0], move_[1], move_[2], saturday_[0], saturday_[1], weeks_[0],
           weeks_[1], weeks_[2], weeks_[3], weeks_[4], weeks_[5]}) {
    connect(b, &QAbstractButton::clicked, this, &RepetitionBoxes::Changed);
  }
}

void RepetitionBoxes::ShowChoices(int tab, HolidayMove move, bool saturday,
                                  const WeekBoxes& weeks, bool move_enabled,
                                  bool saturday_enabled, bool weeks_enabled,
                                  bool numbered_enabled) {
  tabs_->setCurrentIndex(tab);
  move_[static_cast<int>(move)]->setChecked(true);
  saturday_[saturday ? 1 : 0]->setChecked(true);
  for (int i = 0; i < 5; ++i) {
    weeks_[i]->setChecked(weeks.numbered[i]);
    weeks_[i]->setEnabled(numbered_enabled);
  }
  weeks_[5]->setChecked(weeks.last);
  move_group_->setEnabled(move_enabled);
  saturday_group_->setEnabled(saturday_enabled);
  weeks_group_->setEnabled(weeks_enabled);
}

DateBoxes::DateBoxes(int min_year, QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  const auto box = [this, row](int low, int high, const char* name) {
    auto* spin = new QSpinBox(this);
    spin->setRange(low, high);
    spin->setKeyboardTracking(false);
    spin->setAccessibleName(QString::fromUtf8(name));
    row->addWidget(spin);
    connect(spin, &QSpinBox::valueChanged, this, &DateBoxes::Changed);
    return spin;
  };
  year_ = box(min_year, 9999, "年");
  month_ = box(1, 12, "月");
  day_ = box(1, 31, "日");
  // Room for the digits beside the arrows, even in a narrow window.
  const int arrows = 24;
  year_->setMinimumWidth(fontMetrics().horizontalAdvance("99999") + arrows);
  month_->setMinimumWidth(fontMetrics().horizontalAdvance("999") + arrows);
  day_->setMinimumWidth(fontMetrics().horizontalAdvance("999") + arrows);
  today_ = MakeButton(this, "今日", "今日に戻す｡");
  row->addWidget(today_);
  offset_ = new QLabel(this);
  offset_->setToolTip("Offs");
  offset_->setAccessibleName("Offs");
  offset_->setMinimumWidth(24);
  offset_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(offset_);
}

CivilDate DateBoxes::date() const {
  return {year_->value(), month_->value(), day_->value()};
}

void DateBoxes::ShowOffset(const CivilDate& today) {
  offset_->setText(QString::number(DayNumber(date()) - DayNumber(today)));
}

void DateBoxes::AddCaptions(const char* year, const char* month,
                            const char* day) {
  auto* row = static_cast<QHBoxLayout*>(layout());
  const std::pair<QSpinBox*, const char*> captions[] = {
      {year_, year}, {month_, month}, {day_, day}};
  for (const auto& [box, caption] : captions) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setAccessibleName(label->text());
    label->setBuddy(box);
    row->insertWidget(row->indexOf(box) + 1, label);
  }
}

void DateBoxes::SetDate(const CivilDate& date) {
  const QSignalBlocker a(year_), b(month_), c(day_);
  year_->setValue(date.year);
  month_->setValue(date.month);
  day_->setValue(date.day);
}

EntryEditSession::EntryEditSession(const Services& services, QWidget* window,
                                   EntryTextEdit* text, bool popup)
    : services_(services),
      window_(window),
      text_(text),
      popup_(popup),
      folder_(std::make_unique<EntryFolder>(
          DataFolder(services.settings->Open()))) {}

bool EntryEditSession::modified() const {
  return text_->document()->isModified();
}

bool EntryEditSession::Address(const std::string& name) {
  if (name == name_) return false;
  if (modified()) {
    MessageRequest notice(MessageKind::kWarning, kDiscardNotice);
    notice.corner_of = window_;
    services_.messages->ShowNotice(notice);
  }
  name_ = name;
  Reload();
  return true;
}

void EntryEditSession::Reload() {
  text_->clear();
  loaded_ = name_.empty() ? LoadedEntry{} : LoadEntryForEdit(*folder_, name_);
  if (loaded_.result == ReadResult::kOk) {
    text_->LoadEntry(loaded_.content);
  } else {
    text_->document()->setModified(false);
  }
  loaded_.content.clear();
  if (loaded_.result == ReadResult::kUnreadable) {
    MessageRequest notice(MessageKind::kError,
                          "読み込めませんでした。\r" + name_);
    notice.corner_of = window_;
    services_.messages->ShowNotice(notice);
  }
  if (changed_) changed_();
}

void EntryEditSession::SetBusy(bool busy) {
  busy_ = busy;
  if (window_) window_->setEnabled(!busy);
  if (changed_) changed_();
}

void EntryEditSession::Fail(const std::string& text) {
  MessageRequest box(MessageKind::kError, text);
  box.corner_of = window_;
  services_.messages->ShowNotice(box);
}

void EntryEditSession::Save(std::function<void()> saved) {
  if (name_.empty() || busy_) return;
  if (unreadable()) {
    Fail("保存できませんでした。\r読み込めなかった予定には上書きしません。");
    return;
  }
  WriteText(false, std::move(saved));
}

void EntryEditSession::WriteText(bool force, std::function<void()> saved) {
  const std::string content = SaveRichText(*text_->document());
  const SaveResult result =
      SaveEntry(*folder_, name_, content, loaded_.stamp, force);
  switch (result.outcome) {
    case SaveOutcome::kSaved:
      loaded_.result = ReadResult::kOk;
      loaded_.stamp = result.stamp;
      text_->document()->setModified(false);
      if (services_.cues) services_.cues->Play("sav");
      if (services_.entry_changes) services_.entry_changes->Notify();
      if (changed_) changed_();
      if (saved) saved();
      return;
    case SaveOutcome::kChangedElsewhere: {
      MessageRequest ask(MessageKind::kQuestion, kChangedElsewhere,
                         MessageButtons::kYesNo);
      ask.corner_of = window_;
      ask.default_answer = MessageAnswer::kNo;
      SetBusy(true);
      const std::weak_ptr<bool> alive = alive_;
      const std::string asked = name_;
      services_.messages->Ask(
          ask, [this, alive, asked, saved](MessageAnswer answer) {
            if (alive.expired()) return;
            SetBusy(false);
            // The boxes may address another entry by now.
            if (answer == MessageAnswer::kYes && asked == name_) {
              WriteText(true, saved);
            }
          });
      return;
    }
    case SaveOutcome::kUnreadable:
      loaded_.result = ReadResult::kUnreadable;
      Fail("保存できませんでした。\r読み込めない" + name_ +
           "には上書きしません。");
      return;
    case SaveOutcome::kFailed:
      Fail("保存できませんでした。\r" + result.error);
      return;
  }
}

void EntryEditSession::Delete(std::function<void()> deleted) {
  if (name_.empty() || busy_) return;
  MessageRequest place;
  place.corner_of = window_;
  SetBusy(true);
  const std::weak_ptr<bool> alive = alive_;
  const std::string asked = name_;
  ConfirmDeleteLater(
      *services_.settings, *services_.messages, place, {},
      [this, alive, asked, deleted](bool go_on) {
        if (alive.expired()) return;
        SetBusy(false);
        if (!go_on) return;
        std::string error;
        if (!DeleteEntry(*folder_, popup_ ? services_.settings : nullptr, asked,
                         &error)) {
          Fail("削除できませんでした。\r" + error);
          return;
        }
        if (services_.cues) services_.cues->Play("del");
        if (services_.entry_changes) services_.entry_changes->Notify();
        if (asked == name_) {
          loaded_ = LoadedEntry{};
          text_->document()->setModified(false);
        }
        if (changed_) changed_();
        if (deleted) deleted();
      });
}

}  // namespace mirokata
