// The page files of the phone book's folder, found without regard to
// letter case and written atomically.
#ifndef MIROKATA_CONTACTS_PHONE_PAGE_STORE_H_
#define MIROKATA_CONTACTS_PHONE_PAGE_STORE_H_

#include <string>
#include <string_view>
#include <vector>

#include "contacts/phone_page.h"

namespace mirokata {

class PhonePageStore {
 public:
  // `folder`: the "Tel" folder, without a trailing "/".
  explicit PhonePageStore(std::string folder);

  const std::string& folder() const { return folder_; }

  // The page's file: an existing "N.CSV" in any letter case, else the name
  // it is written under.
  std::string PagePath(int page) const;

  // A missing file gives an empty page; one that cannot be read is shown
  // empty but marked not faithful, so it is never overwritten.
  PhonePage Load(int page) const;

  // Writes all rows (the folder is created when missing). False, with the
  // reason, when nothing was written.
  bool Save(int page, const std::vector<PhoneRow>& rows,
            std::string* error) const;

  // Copies every line of pages 0 to 11 that contains `needle` into the
  // search page's file, replacing it. False, with the reason, when that
  // file could not be written.
  bool Search(std::string_view needle, std::string* error) const;

 private:
  bool EnsureFolder(std::string* error) const;
  bool WritePage(int page, std::string_view bytes, std::string* error) const;

  std::string folder_;
};

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_PHONE_PAGE_STORE_H_
