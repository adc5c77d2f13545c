#include "app/StartUp.h"

#include "app/App.h"
#include "app/FileTypes.h"
#include "app/MenuBar1.h"
#include "app/Pictures.h"
#include "framework/gui/PlatformStart.h"
#include "windows/SplashScreen.h"

#include <QApplication>

namespace {

void InitFileTypes() {
    FileTypes::Initialize();
}

std::unique_ptr<App> NewAppInstance(const StartUp::AppFactory& newApp) {
    std::unique_ptr<App> app = newApp ? newApp() : std::make_unique<App>();
    app->SetMenuBar(MenuBar1::instance());
    return app;
}

void ApplicationAddMenuHandlers(App& app) {
    app.AddMenuHandler("FileNewCalc", [&app] { return app.FileNewCalc_Action(); });
    app.AddMenuHandler("FileQuit", [&app] { return app.FileQuit_Action(); });
    app.AddMenuHandler("AppleAboutTallorix", [&app] { return app.AppleAboutTallorix_Action(); });
    app.AddMenuHandler("PrefMenu", [&app] { return app.PrefMenu_Action(); });
}

void MakeDefaultView() {
    SplashScreen::instance();
}

} // namespace

StartUp::StartUp(int& argc, char** argv, const AppFactory& newApp) {
    if (QCoreApplication::instance() == nullptr) {
        runtime_ = fw::StartPlatform(argc, argv);
    }
    QApplication::setApplicationName(QStringLiteral("Tallorix"));
    InitFileTypes();
    app_ = NewAppInstance(newApp);
    ApplicationAddMenuHandlers(*app_);
    MakeDefaultView();
}

StartUp::~StartUp() {
    ReleasePictures();
    app_.reset();
    FileTypes::Release();
    MenuBar1::Release();
}

int StartUp::Run() {
    return app_->Run();
}
