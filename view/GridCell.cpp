#include "GridCell.h"

bool CGridCell::ValidateEdit(const QString&)
{
    return true;
}

void CGridCell::SetFont(const QFont* font)
{
    hasFont_ = font != nullptr;
    font_ = font ? *font : QFont();
}

void CGridCell::CopyCommon(const CGridCell& other)
{
    text_ = other.text_;
    format_ = other.format_;
    state_ = other.state_;
    bk_ = other.bk_;
    fg_ = other.fg_;
    font_ = other.font_;
    hasFont_ = other.hasFont_;
    margin_ = other.margin_;
    image_ = other.image_;
    param_ = other.param_;
    marked_ = other.marked_;
    warned_ = other.warned_;
    highlight_ = other.highlight_;
    mergeRange_ = other.mergeRange_;
    mergedTo_ = other.mergedTo_;
}
