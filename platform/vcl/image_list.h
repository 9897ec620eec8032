#pragma once

#include <QIcon>
#include <QObject>

#include <vector>

// Pictures of one size that actions and buttons name by their index.
class TImageList : public QObject {
    Q_OBJECT
public:
    TImageList(QObject* parent, int width, int height)
        : QObject(parent), Width(width), Height(height)
    {
    }

    const int Width;
    const int Height;

    int Add(const QIcon& icon);
    int Count() const { return static_cast<int>(icons_.size()); }
    // The picture at the index; an index outside the list gives no picture.
    QIcon Icon(int index) const;

private:
    std::vector<QIcon> icons_;
};
