#pragma once

#include "platform/colorref.h"

#include <QTableWidget>
#include <QVariant>

#include <functional>

// The list's grid: a table widget that offers the operations of the old FlexGrid control,
// with its numbering and units, so that the list code reads the same on every platform.
//
// - Row 0 is the fixed title row (drawn as the horizontal header, in the grid's font); data
//   rows are 1 to GetRows() - 1. Columns are numbered from 0; there is no fixed column.
// - The current cell is (GetRow(), GetCol()); GetText/SetText/SetCellBackColor act on it.
// - Widths and cell geometry are in twips, 15 to a pixel.
// - LeaveCell is emitted just before the current cell changes (GetRow/GetCol still give the
//   old cell) and EnterCell just after, whether the user or the program moves it.
// - The widget does no editing of its own and ignores typed letters; keys are the program's.
class CMSFlexGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int TWIPS_PER_PIXEL = 15;

    explicit CMSFlexGrid(QWidget* parent = nullptr);

    QString GetText() const;
    void SetText(const QString& text);

    long GetRows() const;
    void SetRows(long rows);
    long GetCols() const;
    void SetCols(long cols);
    long GetFixedRows() const { return 1; }

    long GetTopRow() const;
    void SetTopRow(long row);
    long GetLeftCol() const;
    void SetLeftCol(long col);

    long GetRow() const;
    void SetRow(long row);
    long GetCol() const;
    void SetCol(long col);

    // Geometry of the current cell, relative to the control's own top-left corner.
    long GetCellLeft() const;
    long GetCellTop() const;
    long GetCellWidth() const;
    long GetCellHeight() const;

    void SetCellBackColor(ColorRef color);
    ColorRef GetCellBackColor() const;
    ColorRef GetCellBackColorAt(long row, long col) const;
    // Any cell's colour without moving the current cell; a colour it has already is left as
    // it is, so that nothing repaints.
    void SetCellBackColorAt(long row, long col, ColorRef color);

    long GetColWidth(long col) const;
    void SetColWidth(long col, long twips);

    QString GetTextMatrix(long row, long col) const;
    void SetTextMatrix(long row, long col, const QString& text);

    // Inserts a row at index (a data row number, 1 or more); item holds the new row's cells
    // separated by tab characters.
    void AddItem(const QString& item, const QVariant& index);
    void RemoveItem(long index);

    // True when the row is shown entirely in the control's window.
    bool GetRowIsVisible(long row) const;

signals:
    void EnterCell();
    void LeaveCell();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void changeEvent(QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QTableWidgetItem* ItemAt(long row, long col) const;
    QTableWidgetItem* EnsureItem(long row, long col);
    void MoveTo(long row, long col);
    void Reshape(long rows, long cols, const std::function<void()>& change);
    void SyncCurrentIndex();
    void SyncLayout() const;
    QRect CurrentCellRect() const;

    long m_row = 1;
    long m_col = 0;
    bool m_inCellChange = false;
    // Width last set in twips per column, so that a width nobody changed reads back exactly.
    QVector<long> m_setTwips;
};
