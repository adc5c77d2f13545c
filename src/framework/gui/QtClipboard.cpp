#include "framework/gui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace fw {

std::string QtClipboard::Text() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

void QtClipboard::SetText(std::string_view text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace fw
