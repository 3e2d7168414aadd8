#pragma once
// The tree of the group tree pane: table and group titles on a light-yellow ground, with the
// logo picture drawn at its bottom left.
#include <QPixmap>
#include <QTreeWidget>

class CGroupTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 24;
    static constexpr int kLogoMargin = 20;

    explicit CGroupTree(QWidget* parent = nullptr);

    // The picture drawn at the bottom left: the file when it can be read, else the built-in one.
    void LoadLogo(const QString& path);
    const QPixmap& Logo() const { return logo_; }
    bool LogoFromFile() const { return logoFromFile_; }
    // Where the logo goes in the viewport.
    QRect LogoRect() const;

    // What a topic holds, shown as an icon beside its title (the title itself stays as it is).
    enum TopicMark { kNoMark = 0, kChangedMark = 1, kOutOfRangeMark = 2 };
    static constexpr int kMarkRole = Qt::UserRole + 1;
    static void SetTopicMark(QTreeWidgetItem* item, int marks);
    static int TopicMarkOf(const QTreeWidgetItem* item);

protected:
    void paintEvent(QPaintEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* e) override;
    // Dotted connecting lines and boxed expand buttons, as a classic tree draws them.
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    QPixmap logo_;
    bool logoFromFile_ = false;
};
