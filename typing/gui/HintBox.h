#pragma once
// The hint box: a small borderless yellow note shown next to the window the
// user types in once the typed word is a keyword, with the keyword and the
// description of its entry. It never takes the focus and can be dragged.
#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

class QAction;
class QLabel;
class QMenu;

class TBx5HintBox : public QWidget {
    Q_OBJECT
public:
    // Reads its position from section "HintWindow" of iniPath and writes it
    // back when destroyed (nothing with an empty path).
    explicit TBx5HintBox(const QString& iniPath, QWidget* parent = nullptr);
    ~TBx5HintBox() override;

    // The engine's lines: the typed word or recognised keyword, and the
    // entry's description (the engine's HintHasText is "not empty").
    void SetKeyword(const QByteArray& keyword);
    QByteArray Keyword() const { return keyword_; }
    void SetDescription(const QByteArray& description);
    QByteArray Description() const { return description_; }
    // "Brevix: " and the file name without its folder.
    void SetFileName(const QString& fileName);
    // 0x00BBGGRR; the box starts light yellow (0x80FFFF).
    void SetColor(uint32_t color);

    // Sizes the box to its lines and shows it, without activating it, below
    // target's left corner, or at caret when given and inside target; kept
    // on the screen. An empty target keeps the box where it was last put.
    // Returns the box's bounds.
    QRect ShowFor(const QRect& target, const std::optional<QPoint>& caret = std::nullopt);

    // Where a box of that size goes (screen: the screen's whole area;
    // fallback: the place without a target).
    static QPoint Place(const QSize& box, const QRect& target, const std::optional<QPoint>& caret,
                        const QRect& screen, const QPoint& fallback);

    // Controls, named by role.
    QLabel* KeywordTxt = nullptr;
    QLabel* Desc1Txt = nullptr;
    QLabel* Desc2Txt = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Pause1 = nullptr;

signals:
    // A right click: bring up the main window.
    void RestoreRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSize SizeToText();

    QString iniPath_;
    QByteArray keyword_, description_;
    std::optional<QPoint> dragOffset_;
};
