// The program the add-in runs in, as far as the ribbon document needs to know it.
#pragma once

#include <string>

namespace cornice {

class Host {
public:
    virtual ~Host() = default;
    // The host's name ("Microsoft Excel"); throws when the host cannot tell it.
    virtual std::wstring Name() = 0;
};

} // namespace cornice
