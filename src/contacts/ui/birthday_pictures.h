// The birthday book's own pictures, drawn: the zodiac signs, the animals of
// the years, the birthstones and the greeting's cake, by the names the book
// uses for them ("YAGI", "NE", "ONE", "CAKE", ...).
#ifndef MIROKATA_CONTACTS_UI_BIRTHDAY_PICTURES_H_
#define MIROKATA_CONTACTS_UI_BIRTHDAY_PICTURES_H_

#include <QPixmap>
#include <string_view>

namespace mirokata {

// A square picture of `size` pixels; an unknown name gives an empty frame.
QPixmap BirthdayPicture(std::string_view name, int size);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_UI_BIRTHDAY_PICTURES_H_
