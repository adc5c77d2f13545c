#pragma once

#include "framework/gui/Window.h"

#include <QApplication>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

// A window whose hooks are given as functions, recording what ran.
class TestWindow : public fw::Window {
public:
    explicit TestWindow(fw::Window* parent = nullptr) : fw::Window(parent) {}

    std::function<void(TestWindow&)> layout;
    std::function<void(TestWindow&)> createControls;
    std::function<void(TestWindow&)> addMenuHandlers;
    std::vector<std::string> log;
    int opens = 0;
    int closes = 0;
    int resizes = 0;

protected:
    void Layout() override {
        log.push_back("Layout");
        if (layout) {
            layout(*this);
        }
    }
    void CreateControls() override {
        log.push_back("CreateControls");
        if (createControls) {
            createControls(*this);
        }
    }
    void AddMenuHandlers() override {
        log.push_back("AddMenuHandlers");
        if (addMenuHandlers) {
            addMenuHandlers(*this);
        }
    }
    void Event_Open() override {
        log.push_back("Open");
        ++opens;
    }
    void Event_Close() override { ++closes; }
    void Event_Resized() override { ++resizes; }
};

// Builds a window with the given design steps (hooks run inside NewWindow,
// so they are set through a subclass constructor).
template <class W = TestWindow>
W* MakeWindow(std::function<void(TestWindow&)> layout,
              std::function<void(TestWindow&)> controls = nullptr,
              std::function<void(TestWindow&)> menus = nullptr, fw::Window* parent = nullptr) {
    struct Built : W {
        Built(fw::Window* p, std::function<void(TestWindow&)> l, std::function<void(TestWindow&)> c,
              std::function<void(TestWindow&)> m)
            : W(p) {
            this->layout = std::move(l);
            this->createControls = std::move(c);
            this->addMenuHandlers = std::move(m);
        }
    };
    return fw::NewWindow<Built>(parent, std::move(layout), std::move(controls), std::move(menus));
}

inline void Activate(fw::Window* window) {
    window->Show();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window);
}
