#pragma once
// The model's UTF-8 texts as the widgets take them.
#include <QString>

#include <string>

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
