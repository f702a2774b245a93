#pragma once

namespace pagora {

struct Reader;

// Caption "title - Pagora 1.8".
void setBookCaption(Reader &r);

void openSelectedBook(Reader &r);
void deleteSelectedBook(Reader &r);
void moveSelectedBook(Reader &r);
void reopenLastBook(Reader &r);

} // namespace pagora
