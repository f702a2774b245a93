#pragma once
#include "platform/dialogs.h"

class QWidget;

namespace pagora {

// Qt's own (non-native) dialogs, so that they look the same everywhere and can
// be driven in window tests.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent) : m_parent(parent) {}
    void showMessage(std::u16string_view text) override;
    bool askYesNo(std::u16string_view text) override;
    bool chooseFont(std::string &face, int &height) override;
    bool chooseFolder(std::u16string_view caption, std::string &folder) override;

private:
    QWidget *m_parent;
};

} // namespace pagora
