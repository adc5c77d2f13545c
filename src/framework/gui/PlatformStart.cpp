#include "framework/gui/PlatformStart.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fw {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> heldMessages;

std::string Unreachable() {
    std::string names;
    for (const char* variable : {"WAYLAND_DISPLAY", "DISPLAY"}) {
        const QByteArray name = qgetenv(variable);
        if (!name.isEmpty()) {
            names += (names.empty() ? "" : " or ") + name.toStdString();
        }
    }
    return names.empty() ? "can't reach a display: neither DISPLAY nor WAYLAND_DISPLAY is set"
                         : "can't reach the display " + names;
}

// Qt ends a failed start of its platform with a fatal message, after
// warnings about each platform it tried.
void HoldWhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", Unreachable().c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages.push_back({type, context.category, text});
}

} // namespace

std::unique_ptr<QApplication> StartPlatform(int& argc, char** argv) {
    const QtMessageHandler shown = qInstallMessageHandler(&HoldWhileStarting);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(shown);
    for (const HeldMessage& message : heldMessages) {
        shown(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()),
              message.text);
    }
    heldMessages.clear();
    return application;
}

} // namespace fw
