#pragma once

#include "app/GridModel.h"

#include <QTableView>

#include <vector>

namespace app {

// The contact grid: our model in a table view, addressed the way the list code thinks of
// it: row 0 is the heading row, rows 1..N the cards, then one empty row; a current cell
// (row, column) of its own; a top row; column widths in twips.
class FlexGrid final : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    GridModel& model() { return m_model; }
    const GridModel& model() const { return m_model; }

    // Rows of the grid: the heading, the cards and the empty row.
    int rowCount() const { return m_model.count() + 1; }
    int currentRow() const { return m_row; }
    int currentColumn() const { return m_col; }
    void setCurrentRow(int row);
    void setCurrentColumn(int col);
    QString cellText(int row, int col) const;
    QString currentText() const { return cellText(m_row, m_col); }

    int topRow() const;
    void setTopRow(int row);
    // Grid row under the last mouse press: 0 on the heading, -1 below the last row.
    int mouseRow() const { return m_mouseRow; }

    void setColumnWidthTwips(int col, int twips, int dpi);

    // Clears every cell and the headings, and leaves only the heading and the empty row.
    void clearAll();

    // The card a grid row shows: its rowid, or -1 (heading, the empty row, outside the grid).
    qint64 cardIdAt(int row) const;
    bool isCardRow(int row) const { return cardIdAt(row) >= 0; }
    // Sorts the rows below the heading by a column; returns each old grid row's new row.
    std::vector<int> sortRows(int col);
    // Brings a row into view without changing the current cell.
    void showRow(int row);
    // Makes a cell current and brings it into view, for the keyboard.
    void moveTo(int row, int col);
    // How many rows a page key moves.
    int pageRows() const;

signals:
    // A left press (on a cell or on the heading), a double click, a press of another button
    // (with the mouse position on the screen; on the heading too), a typed character, the
    // focus arriving.
    void leftPressed();
    void leftDoubleClicked();
    void otherButtonPressed(Qt::MouseButton button, QPoint globalPos);
    void characterTyped(QChar key);
    void focusEntered();
    // The keys that are commands rather than characters of a name: Enter, Delete, and the
    // arrow, page, Home and End keys.
    void commandKeyPressed(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // Mouse row and, for the left button, the current cell from a press or double click.
    void trackMouse(QMouseEvent* event);

    GridModel m_model;
    int m_row = 0;
    int m_col = 0;
    int m_mouseRow = 0;
};

} // namespace app
