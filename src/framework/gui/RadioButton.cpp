#include "framework/gui/RadioButton.h"

#include "framework/gui/Window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <algorithm>

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
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(&RadioButtonInterface);
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

void RadioButton::keyPressEvent(QKeyEvent* event) {
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        break;
    }
    Window* owner = OwnerWindow();
    if (step == 0 || (event->modifiers() & ~Qt::KeypadModifier) != 0 || owner == nullptr) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    // The members are one group however they are laid out, and the arrows
    // go round it, as radio buttons do on the desktop.
    const std::vector<Control*> members = owner->ControlArray(Name());
    const auto count = static_cast<int>(members.size());
    const auto here =
        static_cast<int>(std::find(members.begin(), members.end(), this) - members.begin());
    for (int i = 1; here < count && i < count; ++i) {
        auto* next = dynamic_cast<RadioButton*>(members[(here + step * i + count) % count]);
        if (next != nullptr && next->isEnabled() && next->isVisibleTo(owner)) {
            next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            next->SetValue(true);
            event->accept();
            return;
        }
    }
    QRadioButton::keyPressEvent(event);
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
