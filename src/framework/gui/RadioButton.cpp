#include "framework/gui/RadioButton.h"

#include "framework/gui/Window.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace fw {
namespace {

// Qt announces a radio button whose exclusivity it does not manage itself as
// a check box; the members of a control array are radio buttons all the same.
class RadioButtonAccessible final : public QAccessibleWidget {
public:
    explicit RadioButtonAccessible(QRadioButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        QString result = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && result.isEmpty()) {
            result = Button()->text();
        }
        return result;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& actionName) override {
        if (actionName == toggleAction() || actionName == pressAction()) {
            if (Button()->isEnabled()) {
                Button()->click();
            }
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    QRadioButton* Button() const { return static_cast<QRadioButton*>(widget()); }
};

QAccessibleInterface* RadioButtonInterface(const QString& /*className*/, QObject* object) {
    if (auto* button = dynamic_cast<RadioButton*>(object)) {
        return new RadioButtonAccessible(button);
    }
    return nullptr;
}

} // namespace

RadioButton::RadioButton(QWidget* parent) : QRadioButton(parent), ValueControl(this) {
    static const bool announcedAsRadio = [] {
        QAccessible::installFactory(&RadioButtonInterface);
        return true;
    }();
    (void)announcedAsRadio;
    // Grouping is by control array, not by the Qt parent.
    setAutoExclusive(false);
    // A click leaves the typing focus where it was; Tab still reaches it.
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QRadioButton::toggled, this, [this](bool checked) { Toggled(checked); });
}

void RadioButton::nextCheckState() {
    if (!isChecked()) {
        setChecked(true);
    }
}

void RadioButton::Toggled(bool checked) {
    if (!checked) {
        return;
    }
    if (Window* owner = OwnerWindow()) {
        for (Control* member : owner->ControlArray(Name())) {
            auto* other = dynamic_cast<RadioButton*>(member);
            if (other != nullptr && other != this) {
                other->setChecked(false);
            }
        }
    }
    RaiseAction();
}

} // namespace fw
