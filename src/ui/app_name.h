// The name under which the system lists the running program; also the error box's title.
#pragma once

#include <QString>

namespace rez {

inline QString AppName() {
    return QStringLiteral("KVIRO.DERov");
}

} // namespace rez
