#include "gui/os/Spacer.h"

namespace s::gui::os {

QWidget* Spacer::makeWidget(QWidget* parent)
{
    auto* widget = new QWidget(parent);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    return widget;
}

}
