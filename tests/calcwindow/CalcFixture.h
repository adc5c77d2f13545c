#pragma once

#include "app/App.h"
#include "app/MenuBar1.h"
#include "framework/gui/CheckBox.h"
#include "framework/gui/DisclosureTriangle.h"
#include "framework/gui/EditField.h"
#include "framework/gui/Listbox.h"
#include "framework/gui/PushButton.h"
#include "framework/gui/StaticText.h"
#include "windows/TalloCalc.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// An application object with the shipped defaults, and calculator windows
// driven as a user drives them.
struct CalcFixture : ::testing::Test {
    void SetUp() override {
        app = std::make_unique<App>();
        app->SetMenuBar(MenuBar1::instance());
        static_cast<prefs::OptionValues&>(*app) = prefs::DefaultOptions();
    }
    void TearDown() override {
        app.reset();
        MenuBar1::Release();
    }

    static TalloCalc* Open() { return fw::NewWindow<TalloCalc>(); }

    template <class T> static T* Get(TalloCalc* w, const char* name, int index = -1) {
        T* control = w->FindControl<T>(name, index);
        if (control == nullptr) {
            // Ends this test alone, where a null control would end the whole
            // test program.
            throw std::logic_error("the window has no control " + std::string(name));
        }
        return control;
    }
    static fw::CheckBox* Box(TalloCalc* w, const char* name) { return Get<fw::CheckBox>(w, name); }
    static fw::EditField* Field(TalloCalc* w) { return Get<fw::EditField>(w, "tbox_Word"); }
    static std::string Message(TalloCalc* w) { return Get<fw::StaticText>(w, "lbl_error")->Text(); }
    static bool MessageShown(TalloCalc* w) {
        return Get<fw::StaticText>(w, "lbl_error")->Visible();
    }

    // Opens the options panel so that its controls can be clicked.
    static void OpenOptions(TalloCalc* w) {
        auto* triangle = Get<fw::DisclosureTriangle>(w, "dt_Options");
        if (!triangle->Value()) {
            QTest::mouseClick(triangle, Qt::LeftButton);
        }
    }
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void SetOption(TalloCalc* w, const char* name, bool on) {
        OpenOptions(w);
        if (Box(w, name)->Value() != on) {
            Click(Box(w, name));
        }
    }
    static void CombinedWords(TalloCalc* w) {
        OpenOptions(w);
        Click(Get<TalloCalc::rb_alphabet>(w, "rb_alphabet", 1));
    }

    // Types the word into the field and presses Return.
    static void Enter(TalloCalc* w, const char* word) {
        QTest::keyClicks(Field(w), word);
        QTest::keyClick(Field(w), Qt::Key_Return);
    }

    static std::vector<std::string> Rows(TalloCalc* w) {
        auto* list = Get<fw::Listbox>(w, "lbox_wordValue");
        std::vector<std::string> rows;
        for (int row = 0; row < list->RowCount(); ++row) {
            rows.push_back(list->Cell(row, 0) + "/" + list->Cell(row, 1));
        }
        return rows;
    }
    static std::vector<int> Scores(TalloCalc* w) {
        auto* list = Get<fw::Listbox>(w, "lbox_wordValue");
        std::vector<int> scores;
        for (int row = 0; row < list->RowCount(); ++row) {
            scores.push_back(std::stoi(list->Cell(row, 1)));
        }
        return scores;
    }

    static fw::Window* Drawer(TalloCalc* w) {
        for (fw::Window* window : fw::AllWindows()) {
            if (window->ParentWindow() == w && window->Frame() == fw::WindowFrame::Drawer) {
                return window;
            }
        }
        return nullptr;
    }
    static fw::Listbox* Tiles(TalloCalc* w) {
        return Drawer(w)->FindControl<fw::Listbox>("lbox_Tiles");
    }
    // The drawer's cell for a symbol ("_", "A" to "Z"), wherever its row stands.
    static std::string Tile(TalloCalc* w, const std::string& symbol, int column = 2) {
        fw::Listbox* list = Tiles(w);
        for (int row = 0; row < list->RowCount(); ++row) {
            if (list->Cell(row, 0) == symbol) {
                return list->Cell(row, column);
            }
        }
        return "missing";
    }
    static bool FullTiles(TalloCalc* w) {
        fw::Listbox* list = Tiles(w);
        for (int row = 0; row < list->RowCount(); ++row) {
            if (list->Cell(row, 1) != list->Cell(row, 2)) {
                return false;
            }
        }
        return list->RowCount() == 27;
    }

    std::unique_ptr<App> app;
};
