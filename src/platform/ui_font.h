#pragma once

#include <QFont>

// The program's Japanese fixed-pitch face. The first family is the one the layout was
// designed for; where it is missing, the next installed fixed-pitch Japanese face is used
// (the set-up installs Noto Sans Mono CJK JP).
QFont JapaneseFixedFont(double points);
