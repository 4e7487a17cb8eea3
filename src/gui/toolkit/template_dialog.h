// Dialogs built from templates (resources/templates.h), addressed by control id.
//
// A window class implements DialogHandler and gets every event of its dialog:
// initialisation, commands (Enter is command 1, except in a multi-line edit
// styled kWantReturn, where it breaks the line; Esc and the close box are
// command 2, which does not close the dialog by itself; a menu item whose
// text holds a tab, "Copiar\tCtrl+C", has the key after the tab as its
// shortcut; an edit the user types in sends its id with
// kNotifyEditChange), paint, mouse button down (left and right), scrolling.
// beforeEvent runs before each of them (and once more after, so that enable
// rules never lag one event behind).
//
// For the keyboard: PgUp, PgDn, Home and End scroll a dialog's scrolling pane
// when the control with the focus has no use for them; an edit whose text is
// wider than it shows has the whole text as its tooltip; and the control with
// the keyboard focus wears a ring that stands out on any background.
//
// No exception leaves an event: one that escapes the window's handling is
// caught here. The window may put its state back (checkpoint before the
// event, rollback after a failure); then overflow shows the "Desbordamiento"
// box and anything else an error box.
//
// Controls are created at their template places (dialog units times the
// template's pixels per unit) inside the client area; the menu bar, when the
// template has one, sits above it, so client coordinates match a classic
// dialog's client area. Group boxes marked as drawing areas carry a
// DrawingPane: a persistent image the size of the group box, shown on top of
// its frame, transparent until the window draws on it. The image has the
// screen's pixel density (twice the pixels both ways at a scale of 2); the
// window draws on it in the pixels of its layout all the same.
#pragma once

#include <QDialog>
#include <QImage>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "gui/textout/device_context.h"
#include "resources/templates.h"

class QMenu;
class QMenuBar;

namespace velmora {

// Notification codes of a command.
enum Notification : int {
    kNotifyClicked = 0,     // button, radio button, check box, menu item, keys
    kNotifySelChange = 1,   // the user picked another entry of a combo or list box
    kNotifyEditChange = 2,  // the user changed the text of an edit
};

// Scroll codes of onScroll.
enum ScrollCode : int {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollEnd = 8,
};

inline constexpr int kCommandEnter = 1;
inline constexpr int kCommandEscape = 2;
// The edit field inside an editable drop-down box `id` is named id + kInnerEditBase.
inline constexpr int kInnerEditBase = 0x10000;

// Background colours of a dialog and of its kinds of controls; unset ones keep
// the style's colours. Statics include labels, group boxes, radio buttons,
// check boxes and read-only edits.
struct DialogColours {
    std::optional<Colour> dialog;
    std::optional<Colour> statics;
    std::optional<Colour> edits;
    std::optional<Colour> scrollBars;
};

class TemplateDialog;

// The box of a command whose result does not fit: nothing has been changed.
void WarnOverflow();
// The box of a command that failed for any other reason; `what` says why.
void WarnUnexpectedError(std::string_view what);
// The box for an exception caught where an event ended: WarnOverflow for
// overflow, WarnUnexpectedError for anything else. A failure while such a box
// is up is not reported again (its event loop could fail the same way).
void ReportFailure(std::exception_ptr error);

class DialogHandler {
  public:
    virtual ~DialogHandler() = default;
    // Before an event that is not delivered inside another event of the same
    // dialog: the window remembers what rollback would put back. A command
    // that comes through a modeless window's loop (runModeless) is the user's
    // own, not part of the event that opened that window: it gets its own.
    virtual void checkpoint(TemplateDialog&) {}
    // That event ended in an exception: the window puts back what checkpoint kept.
    virtual void rollback(TemplateDialog&) {}
    virtual void beforeEvent(TemplateDialog&) {}
    virtual void onInit(TemplateDialog&) {}
    virtual void onCommand(TemplateDialog&, int /*id*/, int /*notification*/) {}
    virtual void onPaint(TemplateDialog&) {}
    // (x, y) in pixels of the client area.
    virtual void onMouseDown(TemplateDialog&, int /*x*/, int /*y*/) {}
    // id of the scroll bar; pos is the dragged position for kScrollThumbTrack.
    virtual void onScroll(TemplateDialog&, int /*id*/, int /*code*/, int /*pos*/) {}
    // The right button pressed at (x, y), pixels of the client area.
    virtual void onContextMenu(TemplateDialog&, int /*x*/, int /*y*/) {}
    // A key (Qt::Key, without Ctrl or Alt) pressed in drawing pane `id`,
    // before the dialog's own keys (Enter, Esc, those of a page). True: the
    // window has taken it.
    virtual bool onKey(TemplateDialog&, int /*id*/, int /*key*/) { return false; }
    // The shortcut of menu command `id` was pressed in `control`, which takes
    // such keys itself (an edit copies or pastes its own text). True: the
    // command runs instead. Asked only while the menu item is enabled.
    virtual bool commandOverControl(TemplateDialog&, int /*id*/, int /*control*/) { return false; }
};

// A persistent drawing surface shown by a widget.
class DrawingPane : public QWidget {
    Q_OBJECT
  public:
    DrawingPane(QSize size, QWidget* parent);
    // The image with everything drawn so far.
    QImage& image() {
        dc_.flush();
        return image_;
    }
    DeviceContext& dc() { return dc_; }
    // A new surface of another size, all `fill` (a scrolling pane's
    // contents, which cover it); what was drawn is gone.
    void resizeSurface(QSize size, Colour fill);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void becomeOpaque();

    QImage image_;
    DeviceContext dc_;
    bool updatePending_ = false;
    bool opaque_ = false;
};

class TemplateDialog : public QDialog {
    Q_OBJECT
  public:
    TemplateDialog(const res::DialogTemplate& tmpl, DialogHandler& handler,
                   DialogColours colours = {}, QWidget* parent = nullptr);
    ~TemplateDialog() override;

    const res::DialogTemplate& dialogTemplate() const { return tmpl_; }

    // --- running ---
    // Initialises (once) and runs modally; returns the result given to end().
    int run();
    // Initialises (once), shows the dialog and runs a local event loop until it
    // ends, other windows staying usable meanwhile; returns the end() result.
    int runModeless();
    // Initialises (once) and shows the dialog without any loop of its own.
    void start();
    // Delivers the initialisation if it has not been delivered yet.
    void initialise();
    // Ends the dialog with a result (closes it).
    void end(int result);
    bool ended() const { return ended_; }
    int endResult() const { return result_; }

    // --- events, as the user or the platform would cause them ---
    void command(int id, int notification = kNotifyClicked);
    void pressEnter() { command(kCommandEnter); }
    void pressEscape() { command(kCommandEscape); }
    // A mouse click on a button, radio button or check box: focus, state, command.
    void click(int id);
    // The user picks entry `position` (1-based) of combo or list box `id`.
    void pick(int id, int position);
    void paint();
    // Asks for a repaint: onPaint runs once, from the event loop.
    void invalidate();
    void mouseDown(int x, int y);
    void contextMenu(int x, int y);
    void scroll(int id, int code, int pos);

    // --- controls ---
    // The first control with this id (an inner edit id names its drop-down box).
    QWidget* item(int id) const;
    // The control made from template entry `index` (0-based).
    QWidget* itemAt(int index) const;
    // The id of a control, kInnerEditBase + id for an editable drop-down box;
    // 0 when the widget is none of this dialog's controls.
    int idOf(const QWidget* widget) const;
    // The drawing pane of drawing-area group box `id` (the first group box with
    // that id carrying a pane), or nullptr.
    DrawingPane* paneOf(int id) const;
    // The client area below the menu bar, and its own device context.
    QWidget* client() const { return client_; }
    DeviceContext& dc() { return ownPane_->dc(); }
    QMenuBar* menuBar() const { return menuBar_; }
    // The popups of the menu bar, in order.
    const std::vector<QMenu*>& popups() const { return popups_; }
    // Place of a control in client pixels (empty when there is none).
    QRect itemRect(int id) const;
    // A client point in the coordinates of pane `id` (its group box's top-left).
    QPoint toPane(int id, QPoint clientPoint) const;
    int unitsToPixelsX(int units) const;
    int unitsToPixelsY(int units) const;

    const DialogColours& colours() const { return colours_; }
    void setColours(const DialogColours& colours);

    // While set, changes made by the program do not notify the window.
    bool quiet() const { return quiet_ > 0; }
    void beginQuiet() { ++quiet_; }
    void endQuiet() { --quiet_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    struct Control {
        int id;
        res::ControlKind kind;
        unsigned style;
        QWidget* widget;
        DrawingPane* pane;
    };

    void build();
    void buildMenu(const res::MenuTemplate& menu);
    QWidget* makeControl(const res::ControlTemplate& c);
    void applyColours();
    void onScrollAction(int id, int action);
    // The enabled menu command whose shortcut is this key; 0 for none.
    int shortcutCommand(const QKeyEvent& key) const;
    // PgUp, PgDn, Home or End for a scrolling pane; false when not one of
    // them or the dialog has none.
    bool scrollPaneByKey(int key);
    // A key pressed in a drawing pane, for the window: true when it took it.
    bool paneKey(QObject* watched, int key);
    template <typename F>
    void deliver(F&& f, bool painting = false);
    void failed(std::exception_ptr error, bool outer, bool painting);

    const res::DialogTemplate& tmpl_;
    DialogHandler& handler_;
    DialogColours colours_;
    QWidget* client_ = nullptr;
    DrawingPane* ownPane_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    std::vector<QMenu*> popups_;
    std::vector<Control> controls_;
    bool initialised_ = false;
    bool ended_ = false;
    bool paintPending_ = false;
    int result_ = 0;
    int quiet_ = 0;
    int depth_ = 0;               // events being delivered, one inside another
    int outerLoops_ = 0;          // modeless loops running when the outermost event began
    bool paintReported_ = false;  // a failing paint is reported once, not on every repaint
};

}  // namespace velmora
