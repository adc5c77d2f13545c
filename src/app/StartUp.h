#pragma once

#include <functional>
#include <memory>

class App;
class QApplication;

// The application's life in its order: the runtime, the file types, the
// application object with its menu bar and menu handlers, the splash window;
// then the event loop; then the shutdown. main() runs it, and so do the
// end-to-end tests.
class StartUp {
public:
    // Makes the application object; tests give one that also records its
    // events.
    using AppFactory = std::function<std::unique_ptr<App>()>;

    // Brings the system up to the point where the event loop would start.
    // Uses the QApplication that exists, or makes one from argc/argv.
    StartUp(int& argc, char** argv, const AppFactory& newApp = nullptr);
    // The shutdown: pictures, windows and the application object, file types,
    // menu bar.
    ~StartUp();
    StartUp(const StartUp&) = delete;
    StartUp& operator=(const StartUp&) = delete;

    // Raises the application's Open event and runs the event loop until the
    // application quits; returns the exit status.
    int Run();

private:
    std::unique_ptr<QApplication> runtime_;
    std::unique_ptr<App> app_;
};
