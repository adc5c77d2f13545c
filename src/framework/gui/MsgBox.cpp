#include "framework/gui/MsgBox.h"

#include "framework/gui/Window.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

namespace fw {
namespace {

MsgBoxCatcher& Catcher() {
    static MsgBoxCatcher catcher;
    return catcher;
}

} // namespace

void MsgBox(const std::string& text) {
    if (Catcher()) {
        Catcher()(text);
        return;
    }
    const QString whole = QString::fromStdString(text);
    const qsizetype split = whole.indexOf(QLatin1String("\n\n"));
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    split < 0 ? whole : whole.left(split), QMessageBox::Ok, FrontWindow());
    if (split >= 0) {
        box.setInformativeText(whole.mid(split + 2));
    }
    box.exec();
}

void SetMsgBoxCatcher(MsgBoxCatcher catcher) {
    Catcher() = std::move(catcher);
}

} // namespace fw
