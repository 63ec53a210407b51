// The main window's size rules: the designed size at start-up, the minimum of a restored
// window, and the elastic layout that keeps every control in proportion to the window.
#include "src/app/main_window.h"

#include "src/ui/elastic.h"
#include "src/ui/elastic_window.h"

#include <QResizeEvent>
#include <QScreen>

namespace tracely {

void MainWindow::sizeAsDesigned() {
    form_->setWidth(static_cast<std::int32_t>(elastic::kMinimumWidth));
    form_->setHeight(static_cast<std::int32_t>(elastic::kMinimumHeight));
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(area.left() + (area.width() - outer.width()) / 2,
             area.top() + (area.height() - outer.height()) / 2);
    }
    // A hidden window hears of its new size only once shown; the resize happened now.
    if (!isVisible()) {
        formResize();
    }
}

void MainWindow::initLayout() {
    blnLayoutInit = true;
    if (!elastic_) {
        elastic_ = std::make_unique<class_Elastic>();
    }
    form_->fixDesign();
    elastic_->Init(*form_);
    blnLayoutInit = false;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (form_) { // not before the window is built
        formResize();
    }
}

void MainWindow::formResize() {
    Form_Resize(*form_, elastic_, blnLayoutInit);
}

} // namespace tracely
