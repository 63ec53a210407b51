#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tracely {

// A window as the elastic layout sees it: a fixed, ordered collection of controls whose
// geometry is read and written by property, in twips (font sizes in points), and the window's
// own size and state. Any access may fail (a control without that property, or one that
// refuses the value): reads give nothing, writes give false, and the layout goes on.
class ElasticForm {
public:
    enum class Property { Top, Left, Height, Width, FontSize, RightMargin, X1, Y1, X2, Y2 };
    enum class State { Normal = 0, Minimised = 1, Maximised = 2 };

    virtual ~ElasticForm() = default;

    virtual int controlCount() const = 0;
    // A line is given by its two end points instead of a box.
    virtual bool isLine(int index) const = 0;
    virtual std::optional<double> property(int index, Property p) const = 0;
    virtual bool setProperty(int index, Property p, std::int32_t value) = 0;

    virtual State windowState() const = 0;
    virtual double height() const = 0;
    virtual double width() const = 0;
    virtual bool setHeight(std::int32_t twips) = 0;
    virtual bool setWidth(std::int32_t twips) = 0;
    virtual double screenHeight() const = 0;
    virtual double screenWidth() const = 0;

    virtual bool autoRedraw() const = 0;
    virtual void setAutoRedraw(bool on) = 0;
};

// The property's name as the window system calls it ("Top", "FontSize", "X1" ...).
std::string_view propertyName(ElasticForm::Property p);

} // namespace tracely
