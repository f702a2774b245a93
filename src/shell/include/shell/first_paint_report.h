#pragma once
#include <QObject>

namespace pagora {

class MPanel;

// For the start-up benchmark only: once the panel's first page after
// start-up has reached the window, says so on standard output; the reader
// goes on as it would while the benchmark reads its peak size, and closes
// its window when the benchmark closes its input.
class FirstPaintReport final : public QObject {
    Q_OBJECT
public:
    explicit FirstPaintReport(MPanel *panel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MPanel *m_panel;
};

} // namespace pagora
