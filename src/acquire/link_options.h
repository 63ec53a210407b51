#pragma once

#include <QString>

#include <functional>

namespace tracely {

// What the Options dialog asks of the link: the ports and who may open them, a new search,
// whether repeat mode rides out failed captures, and the line's health in words. The
// acquisition engine implements it; the dialog holds it, so nothing passes through the window.
class LinkOptions {
public:
    virtual void InitHdwe(std::function<void(bool connected)> done) = 0;
    virtual bool ComPortExists(int n) const = 0;
    virtual QString portPath(int n) const = 0;
    // False only when this user lacks the permission to open COMn's device.
    virtual bool portPermitted(int n) const = 0;
    virtual bool keepRepeating() const = 0;
    virtual void setKeepRepeating(bool on) = 0;
    virtual QString linkHealth() const = 0;

protected:
    ~LinkOptions() = default;
};

} // namespace tracely
