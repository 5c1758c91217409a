// The three standard data formats, object by object.
#include <dinput.h>

#include <array>

namespace {

constexpr DWORD kAxis = DIDFT_AXIS | DIDFT_ANYINSTANCE;
constexpr DWORD kButton = DIDFT_BUTTON | DIDFT_ANYINSTANCE;
constexpr DWORD kOptionalAxis = kAxis | DIDFT_OPTIONAL;
constexpr DWORD kOptionalButton = kButton | DIDFT_OPTIONAL;

constexpr std::array<DIOBJECTDATAFORMAT, 256> make_keyboard() {
    std::array<DIOBJECTDATAFORMAT, 256> objects{};
    for (DWORD i = 0; i < 256; ++i)
        objects[i] = {&GUID_Key, i, DIDFT_BUTTON | DIDFT_MAKEINSTANCE(i) | DIDFT_OPTIONAL, 0};
    return objects;
}

constexpr std::array<DIOBJECTDATAFORMAT, 44> make_joystick() {
    std::array<DIOBJECTDATAFORMAT, 44> objects{};
    objects[0] = {&GUID_XAxis, DIJOFS_X, kOptionalAxis, 0};
    objects[1] = {&GUID_YAxis, DIJOFS_Y, kOptionalAxis, 0};
    objects[2] = {&GUID_ZAxis, DIJOFS_Z, kOptionalAxis, 0};
    objects[3] = {&GUID_RxAxis, DIJOFS_RX, kOptionalAxis, 0};
    objects[4] = {&GUID_RyAxis, DIJOFS_RY, kOptionalAxis, 0};
    objects[5] = {&GUID_RzAxis, DIJOFS_RZ, kOptionalAxis, 0};
    objects[6] = {&GUID_Slider, static_cast<DWORD>(DIJOFS_SLIDER(0)), kOptionalAxis, 0};
    objects[7] = {&GUID_Slider, static_cast<DWORD>(DIJOFS_SLIDER(1)), kOptionalAxis, 0};
    for (DWORD i = 0; i < 4; ++i)
        objects[8 + i] = {&GUID_POV, static_cast<DWORD>(DIJOFS_POV(i)),
                          DIDFT_POV | DIDFT_ANYINSTANCE | DIDFT_OPTIONAL, 0};
    for (DWORD i = 0; i < 32; ++i)
        objects[12 + i] = {nullptr, static_cast<DWORD>(DIJOFS_BUTTON(i)), kOptionalButton, 0};
    return objects;
}

std::array<DIOBJECTDATAFORMAT, 7> g_mouse_objects = {{
    {&GUID_XAxis, DIMOFS_X, kAxis, 0},
    {&GUID_YAxis, DIMOFS_Y, kAxis, 0},
    {&GUID_ZAxis, DIMOFS_Z, kOptionalAxis, 0},
    {nullptr, DIMOFS_BUTTON0, kButton, 0},
    {nullptr, DIMOFS_BUTTON1, kButton, 0},
    {nullptr, DIMOFS_BUTTON2, kOptionalButton, 0},
    {nullptr, DIMOFS_BUTTON3, kOptionalButton, 0},
}};
std::array<DIOBJECTDATAFORMAT, 256> g_keyboard_objects = make_keyboard();
std::array<DIOBJECTDATAFORMAT, 44> g_joystick_objects = make_joystick();

} // namespace

extern "C" {

const DIDATAFORMAT c_dfDIMouse = {
    sizeof(DIDATAFORMAT),  sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, sizeof(DIMOUSESTATE), 7,
    g_mouse_objects.data()};
const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT),     sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
    g_keyboard_objects.data()};
const DIDATAFORMAT c_dfDIJoystick = {
    sizeof(DIDATAFORMAT),     sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, sizeof(DIJOYSTATE), 44,
    g_joystick_objects.data()};

} // extern "C"
