#pragma once
#include "platform/desktop.h"

#include <QString>
#include <QStringList>

namespace pagora {

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
    QStringList m_arguments;
};

} // namespace pagora
