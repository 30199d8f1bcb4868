#pragma once

#include <QWidget>

#include <vector>

class QKeyEvent;
class QMenu;
class QMenuBar;

// A window's menu bar that lays its entries out on as many rows as its width needs, in order, and
// lays them out again on every change of width, font, style or screen. Each row is a QMenuBar of
// its own holding the entries that fit on it, so that every entry is drawn, clicked, opened and
// read out by Qt's menu bar itself, with its caption, mnemonic and greyed state. The keys go from
// row to row as in one bar: Alt alone then the arrows move through every entry, and Alt with an
// entry's letter works whatever row the entry is on.
// The entries are this widget's own actions: actions() lists them all, in order.
class WrappingMenuBar : public QWidget {
    Q_OBJECT
public:
    explicit WrappingMenuBar(QWidget* parent = nullptr);
    ~WrappingMenuBar() override;

    // Adds an entry that opens a drop-down menu, owned by this bar.
    QMenu* addMenu(const QString& title);

    // The rows as they stand, top to bottom.
    QList<QMenuBar*> rows() const;

    // The narrowest width at which the entries take no more than `rowCount` rows.
    int narrowestWidthFor(int rowCount) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void actionEvent(QActionEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Row;

    // The entries of each row at a width: as many as fit, in order, at least one per row.
    std::vector<QList<QAction*>> split(int width) const;
    // The width a row needs for the entries from `first` to `last`, both included.
    int rowWidth(const std::vector<int>& entryWidths, std::size_t first, std::size_t last) const;
    std::vector<int> entryWidths(const QList<QAction*>& entries) const;
    int rowHeight() const;
    Row* newRow();
    void reflow();
    void reflowSoon();

    // Keyboard moves that leave a row: true when the key was taken.
    bool keyLeavesRow(Row& row, const QKeyEvent& key);
    // Left (step -1) or right (step 1) past the row's end: the previous or next row.
    bool arrowLeavesRow(Row& row, QAction& current, int step, bool menuOpen);
    // A mnemonic letter that no entry of this row has: its entry on the rows that follow.
    bool mnemonicLeavesRow(Row& row, QChar letter);
    void moveKeyboardMode(Row& from, Row& to, QAction* entry, bool openMenu);
    bool otherRowInKeyboardMode(const Row& row) const;
    void endKeyboardModeExcept(const Row* kept);

    std::vector<Row*> rowBars;
    bool reflowQueued = false;
};
