#pragma once
#include <string>

namespace pagora {

struct Reader;
struct ReaderState;
class Files;

// Whole file as UTF-16, by its byte-order mark (UTF-8, UTF-16LE, UTF-16BE;
// none means the 8-bit form). Only a UTF-16LE mark is removed.
std::u16string loadTextFile(Files &files, const std::string &path);

std::string settingsFilePath(const ReaderState &s);
void readSettings(Reader &r);
void writeSettings(Reader &r);

} // namespace pagora
