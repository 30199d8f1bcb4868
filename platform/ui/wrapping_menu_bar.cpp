#include "platform/ui/wrapping_menu_bar.h"

#include <QActionEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace {

bool isAltAlone(const QEvent& event)
{
    if (event.type() != QEvent::ShortcutOverride)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(event);
    return (key.key() == Qt::Key_Alt || key.key() == Qt::Key_Meta) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

// The letter after the "&" of a caption, in capitals; null without one ("&&" is a plain "&").
QChar mnemonicOf(const QString& caption)
{
    for (qsizetype i = caption.indexOf(QLatin1Char('&')); i >= 0 && i + 1 < caption.size();
         i = caption.indexOf(QLatin1Char('&'), i + 2)) {
        if (caption.at(i + 1) != QLatin1Char('&'))
            return caption.at(i + 1).toUpper();
    }
    return {};
}

} // namespace

// One row: a menu bar of Qt's own, told by the whole bar when a key leaves it. Alt alone belongs
// to the first row only, so that it puts one entry, not one per row, under the keyboard.
class WrappingMenuBar::Row : public QMenuBar {
public:
    explicit Row(WrappingMenuBar& bar) : QMenuBar(&bar), bar(bar)
    {
        // In the window whatever the desktop: a global menu would take one row from the others.
        setNativeMenuBar(false);
    }

    bool first = false;

    // The width the bar gives an entry, as it measures it itself.
    int entryWidth(QAction* entry) const
    {
        QStyleOptionMenuItem option;
        initStyleOption(&option, entry);
        const QSize text = fontMetrics().size(Qt::TextShowMnemonic, entry->text());
        return style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, this).width();
    }

    bool inKeyboardMode() const { return hasFocus() && activeAction(); }

    // Puts the row under the keyboard on its first entry, as Alt alone does: the bar remembers
    // the widget that had the focus and gives it back when the mode ends.
    void enterKeyboardMode()
    {
        // Alt's own key event counts Alt among its modifiers once pressed: given none, it has it.
        QKeyEvent altDown(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QMenuBar::eventFilter(window(), &altDown);
        QMenuBar::eventFilter(window(), &altUp);
    }

    // Ends the keyboard mode as Escape does, closing a menu open from the row.
    void leaveKeyboardMode() { press(Qt::Key_Escape); }

    // Moves the keyboard's highlight along the row to an entry.
    void highlight(QAction* entry)
    {
        const Qt::Key forward = isRightToLeft() ? Qt::Key_Left : Qt::Key_Right;
        for (qsizetype i = 0; activeAction() != entry && i < actions().size(); ++i)
            press(forward);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!bar.keyLeavesRow(*this, *event))
            QMenuBar::keyPressEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (isAltAlone(*event)) {
            if (!first)
                return false;
            // Alt alone while another row is under the keyboard ends that, as in one bar.
            if (bar.otherRowInKeyboardMode(*this)) {
                bar.endKeyboardModeExcept(nullptr);
                return false;
            }
        }
        return QMenuBar::eventFilter(watched, event);
    }

private:
    void press(Qt::Key key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QMenuBar::keyPressEvent(&event);
    }

    WrappingMenuBar& bar;
};

WrappingMenuBar::WrappingMenuBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Minimum);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    // The first row is always there: it measures the entries for the others.
    rowBars.push_back(newRow());
    rowBars.front()->first = true;
}

WrappingMenuBar::~WrappingMenuBar() = default;

WrappingMenuBar::Row* WrappingMenuBar::newRow()
{
    auto* row = new Row(*this);
    // An entry chosen on one row, with Alt and its letter say, ends the keyboard mode of another.
    connect(row, &QMenuBar::triggered, this, [this, row] { endKeyboardModeExcept(row); });
    return row;
}

QMenu* WrappingMenuBar::addMenu(const QString& title)
{
    auto* menu = new QMenu(title, this);
    addAction(menu->menuAction());
    return menu;
}

QList<QMenuBar*> WrappingMenuBar::rows() const
{
    return QList<QMenuBar*>(rowBars.begin(), rowBars.end());
}

std::vector<int> WrappingMenuBar::entryWidths(const QList<QAction*>& entries) const
{
    std::vector<int> widths;
    widths.reserve(entries.size());
    for (QAction* entry : entries)
        widths.push_back(entry->isVisible() ? rowBars.front()->entryWidth(entry) : 0);
    return widths;
}

int WrappingMenuBar::rowWidth(const std::vector<int>& widths, std::size_t first,
                              std::size_t last) const
{
    // As a menu bar places its entries: after its frame and margin, each entry followed by the
    // spacing, and the frame again at the end.
    const QWidget* measure = rowBars.front();
    const QStyle* style = measure->style();
    const int frame = style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, measure);
    const int margin = style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, measure);
    const int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, measure);
    int width = 2 * frame + margin;
    for (std::size_t i = first; i <= last; ++i)
        width += widths[i] == 0 ? 0 : widths[i] + spacing;
    return width;
}

std::vector<QList<QAction*>> WrappingMenuBar::split(int width) const
{
    const QList<QAction*> entries = actions();
    const std::vector<int> widths = entryWidths(entries);
    std::vector<QList<QAction*>> split;
    qsizetype start = 0;
    for (qsizetype i = 1; i < entries.size(); ++i) {
        if (rowWidth(widths, std::size_t(start), std::size_t(i)) > width) {
            split.push_back(entries.mid(start, i - start));
            start = i;
        }
    }
    split.push_back(entries.mid(start));
    return split;
}

int WrappingMenuBar::narrowestWidthFor(int rowCount) const
{
    int narrow = minimumSizeHint().width();
    int wide = std::max(narrow, sizeHint().width());
    while (narrow < wide) {
        const int middle = narrow + (wide - narrow) / 2;
        if (int(split(middle).size()) <= rowCount)
            wide = middle;
        else
            narrow = middle + 1;
    }
    return wide;
}

int WrappingMenuBar::rowHeight() const
{
    return rowBars.front()->heightForWidth(width());
}

int WrappingMenuBar::heightForWidth(int width) const
{
    return int(split(width).size()) * rowHeight();
}

QSize WrappingMenuBar::sizeHint() const
{
    const QList<QAction*> entries = actions();
    if (entries.isEmpty())
        return {0, rowHeight()};
    return {rowWidth(entryWidths(entries), 0, std::size_t(entries.size() - 1)), rowHeight()};
}

QSize WrappingMenuBar::minimumSizeHint() const
{
    // The widest entry on a row of its own: narrower, it would be cut.
    const QList<QAction*> entries = actions();
    const std::vector<int> widths = entryWidths(entries);
    int widest = 0;
    for (std::size_t i = 0; i < widths.size(); ++i)
        widest = std::max(widest, rowWidth(widths, i, i));
    return {widest, rowHeight()};
}

void WrappingMenuBar::actionEvent(QActionEvent* event)
{
    QWidget::actionEvent(event);
    // A caption that changes may change the rows; a greyed state changes nothing here.
    reflow();
}

bool WrappingMenuBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::ScreenChangeInternal:
        // Once the rows have taken the change too.
        reflowSoon();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void WrappingMenuBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reflow();
}

void WrappingMenuBar::reflowSoon()
{
    if (reflowQueued)
        return;
    reflowQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            reflowQueued = false;
            reflow();
            updateGeometry();
        },
        Qt::QueuedConnection);
}

void WrappingMenuBar::reflow()
{
    const std::vector<QList<QAction*>> wanted = split(width());
    bool changed = wanted.size() != rowBars.size();
    for (std::size_t i = 0; !changed && i < wanted.size(); ++i)
        changed = rowBars[i]->actions() != wanted[i];
    if (changed) {
        endKeyboardModeExcept(nullptr);
        while (rowBars.size() > wanted.size()) {
            delete rowBars.back();
            rowBars.pop_back();
        }
        while (rowBars.size() < wanted.size()) {
            rowBars.push_back(newRow());
            rowBars.back()->show();
        }
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (rowBars[i]->actions() == wanted[i])
                continue;
            rowBars[i]->clear();
            rowBars[i]->addActions(wanted[i]);
        }
    }
    int top = 0;
    for (Row* row : rowBars) {
        const int height = row->heightForWidth(width());
        row->setGeometry(0, top, width(), height);
        top += height;
    }
    setMinimumWidth(minimumSizeHint().width());
    if (changed || top != height())
        updateGeometry();
}

bool WrappingMenuBar::otherRowInKeyboardMode(const Row& row) const
{
    return std::any_of(rowBars.begin(), rowBars.end(), [&row](const Row* other) {
        return other != &row && other->inKeyboardMode();
    });
}

void WrappingMenuBar::endKeyboardModeExcept(const Row* kept)
{
    for (Row* row : rowBars)
        if (row != kept && (row->hasFocus() || row->activeAction()))
            row->leaveKeyboardMode();
}

bool WrappingMenuBar::keyLeavesRow(Row& row, const QKeyEvent& key)
{
    QAction* current = row.activeAction();
    if (!current || !row.hasFocus())
        return false;
    const bool menuOpen = current->menu() && current->menu()->isVisible();
    int code = key.key();
    if (code == Qt::Key_Tab)
        code = Qt::Key_Right;
    else if (code == Qt::Key_Backtab)
        code = Qt::Key_Left;
    else if (row.isRightToLeft() && (code == Qt::Key_Left || code == Qt::Key_Right))
        code = code == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left;
    if (code == Qt::Key_Left || code == Qt::Key_Right)
        return arrowLeavesRow(row, *current, code == Qt::Key_Right ? 1 : -1, menuOpen);
    // A letter: the entry of that mnemonic, on this row first, else on the rows that follow.
    if (key.text().size() != 1 || (key.modifiers() & Qt::ControlModifier) || menuOpen)
        return false;
    return mnemonicLeavesRow(row, key.text().at(0).toUpper());
}

bool WrappingMenuBar::arrowLeavesRow(Row& row, QAction& current, int step, bool menuOpen)
{
    const bool disabledReachable =
        row.style()->styleHint(QStyle::SH_Menu_AllowActiveAndDisabled, nullptr, &row);
    const auto reachable = [disabledReachable](const QAction* entry) {
        return entry->isVisible() && !entry->isSeparator() &&
               (entry->isEnabled() || disabledReachable);
    };
    const QList<QAction*> entries = row.actions();
    for (qsizetype i = entries.indexOf(&current) + step; i >= 0 && i < entries.size(); i += step)
        if (reachable(entries[i]))
            return false; // the row goes on itself
    // Past the row's end: the next row's first entry, or the previous row's last one.
    const auto count = std::ptrdiff_t(rowBars.size());
    const std::ptrdiff_t index = std::find(rowBars.begin(), rowBars.end(), &row) - rowBars.begin();
    for (std::ptrdiff_t n = 1; n < count; ++n) {
        Row* other = rowBars[std::size_t(((index + step * n) % count + count) % count)];
        QList<QAction*> candidates = other->actions();
        if (step < 0)
            std::reverse(candidates.begin(), candidates.end());
        const auto target = std::find_if(candidates.begin(), candidates.end(), reachable);
        if (target != candidates.end()) {
            moveKeyboardMode(row, *other, *target, menuOpen);
            return true;
        }
    }
    return false;
}

bool WrappingMenuBar::mnemonicLeavesRow(Row& row, QChar letter)
{
    const auto hasLetter = [letter](const QAction* entry) {
        return mnemonicOf(entry->text()) == letter;
    };
    const QList<QAction*> own = row.actions();
    if (std::any_of(own.begin(), own.end(), hasLetter))
        return false;
    const auto count = std::ptrdiff_t(rowBars.size());
    const std::ptrdiff_t index = std::find(rowBars.begin(), rowBars.end(), &row) - rowBars.begin();
    for (std::ptrdiff_t n = 1; n < count; ++n) {
        Row* other = rowBars[std::size_t((index + n) % count)];
        const QList<QAction*> entries = other->actions();
        const auto target = std::find_if(entries.begin(), entries.end(), hasLetter);
        if (target != entries.end()) {
            moveKeyboardMode(row, *other, *target, (*target)->menu() != nullptr);
            return true;
        }
    }
    return false;
}

void WrappingMenuBar::moveKeyboardMode(Row& from, Row& to, QAction* entry, bool openMenu)
{
    from.leaveKeyboardMode();
    to.enterKeyboardMode();
    to.highlight(entry);
    if (openMenu && entry->menu())
        to.setActiveAction(entry);
}
