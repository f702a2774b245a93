#pragma once
#include "notes/fingerprint.h"
#include "platform/files.h"
#include "state/book_file.h"

#include <string>
#include <vector>

namespace pagora {

struct Reader;

// The open book's fingerprint being worked out a section at a time.
struct BookKeying {
    std::string path; // the book file it is for; empty when none is under way
    FileStamp stamp;  // the file's, as the work began
    // A handle of its own on the file, so that the bytes hashed are those the
    // stamp describes; closed when the file no longer is the book shown.
    BookFile file;
    int sections = 0;
    int next = 1;
    FingerprintHash hash;
};

// The decoded text of every section of the open book (an unreadable section
// is empty). The section shown stays loaded as it was.
std::vector<std::u16string> openBookTexts(Reader &r);

// The fingerprint of the open book, computed when first needed (or the one
// kept for its file while the file is unchanged); empty when no book is open.
const std::string &openBookFingerprint(Reader &r);

// One slice of that work: the fingerprint kept for the file looked up, or
// one more section hashed. True while work is left.
bool workOnFingerprint(Reader &r);

// Whether the open book's fingerprint is being worked out in slices: what
// only shows it (the marks of the page) waits until it is known.
bool fingerprintUnderWay(const Reader &r);

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
