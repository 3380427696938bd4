// Keeps the user's hands off a window while a device operation runs. The
// window still paints and its events are still processed, so input made in
// the meantime reaches disabled controls and is dropped; it is not held back
// to act once the operation has ended.
#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace telvor {

class InputLock final {
public:
    explicit InputLock(QWidget& window);
    ~InputLock();

    InputLock(const InputLock&) = delete;
    InputLock& operator=(const InputLock&) = delete;

private:
    QWidget& m_window;
    std::vector<QPointer<QWidget>> m_disabled;
    QPointer<QWidget> m_focus;
    Qt::ContextMenuPolicy m_contextMenuPolicy;
};

} // namespace telvor
