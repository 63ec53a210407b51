#include "src/instrument/scale_tables.h"

namespace tracely::scales {

namespace {

constexpr ScaleTable kBncX10{{
    {"50 ", 50.0f, 3, 0.28784314f, 73.4f, 0.02f},
    {"20 ", 20.0f, 2, 0.094117649f, 24.0f, 0.05f},
    {"10 ", 10.0f, 1, 0.047058824f, 12.0f, 0.1f},
    {"5 ", 5.0f, 1, 0.047058824f, 12.0f, 0.2f},
    {"2 ", 2.0f, 1, 0.047058824f, 12.0f, 0.5f},
    {"1 ", 1.0f, 1, 0.047058824f, 12.0f, 1.0f},
}};

constexpr ScaleTable kBncX1{{
    {".5 ", 0.5f, 3, 0.028784312f, 7.34f, 2.0f},
    {".2 ", 0.2f, 2, 0.0094117643f, 2.4f, 5.0f},
    {".1 ", 0.1f, 1, 0.0047058822f, 1.2f, 10.0f},
    {".05 ", 0.05f, 1, 0.0047058822f, 1.2f, 20.0f},
    {".02 ", 0.02f, 1, 0.0047058822f, 1.2f, 50.0f},
    {".01 ", 0.01f, 0, 0.0010196069f, 0.26f, 100.0f},
}};

constexpr ScaleTable kPod{{
    {"5 ", 5.0f, 3, 0.123921566f, 31.6f, 0.2f},
    {"2 ", 2.0f, 2, 0.045490198f, 11.6f, 0.5f},
    {"1 ", 1.0f, 1, 0.022745099f, 5.8f, 1.0f},
    {".5 ", 0.5f, 0, 0.0049568620f, 1.264f, 2.0f},
    {".2 ", 0.2f, 0, 0.0049568620f, 1.264f, 5.0f},
    {".1 ", 0.1f, 0, 0.0049568620f, 1.264f, 10.0f},
}};

constexpr std::array<float, 4> kBncSpan{0.26f, 1.2f, 2.4f, 7.34f};
constexpr std::array<float, 4> kPodSpan{1.264f, 5.8f, 11.6f, 31.6f};

} // namespace

const ScaleTable& table(Input input) {
    switch (input) {
    case Input::BncX10:
        return kBncX10;
    case Input::BncX1:
        return kBncX1;
    case Input::Pod:
        break;
    }
    return kPod;
}

float inputSpan(bool pod, std::uint8_t rangeCode) {
    return (pod ? kPodSpan : kBncSpan)[rangeCode & 3];
}

} // namespace tracely::scales
