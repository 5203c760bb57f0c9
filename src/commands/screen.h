#pragma once

#include <QString>
#include <QVector>

class QKeyEvent;
class QWidget;

// Short notes on the timecode line, in this order: what the picture's source is doing (play,
// still, shuttle; a refused command), which list is open and whether it is saved
// (or that a save has just worked), then in red what a timecode source is heard at when the
// list counts another rate, what is wrong with the source's device, and whether the recovery
// copy is kept. They never take the focus and ask nothing: the operator sees them when looking
// at the timecode.
enum class StatusNote { Transport, Document, Rate, Device, Recovery };

// What the commands ask of the window that shows the list. The window lays out and draws;
// the commands decide. Nothing here is asked of a grid or a widget by name.
class Screen {
public:
    virtual ~Screen() = default;

    // The window boxes and dialogs belong to.
    virtual QWidget* Owner() = 0;
    // Gives the list the keyboard.
    virtual void FocusList() = 0;
    // Brings a row in the lower half of the view to its middle.
    virtual void ScrollToRow(long row) = 0;
    // Shows the list from its first row.
    virtual void ShowFromTop() = 0;
    // The list came from a file: the window lays itself out again once it can, putting the
    // stored column widths back.
    virtual void ListOpened() = 0;
    // The timecode line: the reading and the label naming its source.
    virtual void ShowTimecode(const QString& text, const QString& caption) = 0;
    virtual void ShowFrameCheck(const QString& text) = 0;
    // Shows a note with detail as its tooltip; an empty text hides it.
    virtual void ShowNote(StatusNote note, const QString& text, const QString& detail) = 0;
    // The list's column widths in twips, as the operator left them.
    virtual QVector<int> ColumnWidths() const = 0;
    // Stores text being typed into a cell as Enter would.
    virtual void CommitEdit() = 0;
    // A key pressed or released in another window of the program (the picture), handled as if
    // the list had it; true when it was used.
    virtual bool TakeKey(QKeyEvent* key) = 0;
    // Ends the window; the program ends with it.
    virtual void EndWindow() = 0;
};
