#pragma once
#include "platform/desktop.h"

#include <QString>
#include <QStringList>

namespace pagora {

// The arguments that hand word to a dictionary program: an option whose
// value is the word (lookUpOption, e.g. "--look-up") as one "OPTION=WORD"
// argument, or, with none, the word alone with any leading '-' dropped, so
// that a selection never becomes an option of the program. Empty when
// nothing is left to look up.
QStringList dictionaryArguments(const QString &lookUpOption, const QString &word);

// The system clipboard and selection, and a dictionary program from PATH.
class QtDesktop final : public Desktop {
public:
    void copyToClipboard(std::u16string_view text) override;
    void setPrimarySelection(std::u16string_view text) override;
    bool hasDictionary() override;
    bool openDictionary(std::u16string_view word) override;

private:
    void findDictionary();
    bool m_searched = false;
    QString m_program; // empty when none is installed
    QString m_lookUpOption;
};

} // namespace pagora
