#pragma once
#include <string>
#include <vector>

namespace pagora {

struct Reader;

// The decoded text of every section of the open book (an unreadable section
// is empty). The section shown stays loaded as it was.
std::vector<std::u16string> openBookTexts(Reader &r);

// The fingerprint of the open book, computed when first needed; empty when
// no book is open.
const std::string &openBookFingerprint(Reader &r);

// Keeps the open book's place (its section and the first offset of the page
// shown) in the notes store. The database is opened here on first use.
void rememberPlace(Reader &r);

// rememberPlace while the open book is being read (its page or its menu is
// shown); elsewhere the position fields may describe another book already.
void rememberPlaceWhileReading(Reader &r);

// For a book just opened: the section and page holding its stored place,
// loaded and paginated. False when the store knows no place for it.
bool goToStoredPlace(Reader &r);

} // namespace pagora
