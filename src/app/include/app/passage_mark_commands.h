#pragma once
#include <cstdint>
#include <string>

namespace pagora {

struct Reader;
struct ReaderState;
struct PassageMark;
struct BookKey;
class MarkedPassages;

// The open book as the notes store knows it; an empty fingerprint when none
// is open.
BookKey openBookKey(Reader &r);
// The open book's marks: the notes store, its key and the section's marks.
MarkedPassages openBookMarks(Reader &r);

// Reads the marks of the section shown from the notes store unless they are
// held already. Marks whose text moved (another edition of the book) are
// first found again in the whole book.
void refreshShownMarks(Reader &r);

// After the first frame of a start-up that reopened a book, once its
// fingerprint is known: its marks are read now, so that start-up itself never
// waits for the database or the book. True when there are marks to draw.
bool loadMarksAfterStart(Reader &r);

// The mark of the section shown that holds offset; nullptr when none does.
const PassageMark *markHolding(const ReaderState &s, std::int32_t offset);
const PassageMark *shownMark(const ReaderState &s, std::int64_t id);

// The selection marked in colour 1..4 with note (UTF-16); false when nothing
// was stored (the store has told why).
bool markSelection(Reader &r, int colour, const std::u16string &note);
// The selection marked with a note written in the note editor; false when
// cancelled or not stored.
bool noteSelection(Reader &r);
// The note of mark id written anew; false when cancelled or not stored.
bool editMarkNote(Reader &r, std::int64_t id);
bool recolourMark(Reader &r, std::int64_t id, int colour);
// Asks first when the mark carries a note: a note is never lost by a slip.
bool removeMark(Reader &r, std::int64_t id);

} // namespace pagora
