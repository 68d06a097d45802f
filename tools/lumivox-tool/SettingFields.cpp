#include "SettingFields.h"

#include <charconv>
#include <variant>

#include "state/RenderSettings.h"

namespace {

using FieldPointer = std::variant<int*, float*>;

struct Field {
    const char* name;
    FieldPointer (*get)(RenderSettings&);
};

#define LUMIVOX_FIELD(member)                                                                                \
    {                                                                                                        \
#member, [](RenderSettings & s) { return FieldPointer(&s.member); }                                  \
    }

const Field kFields[] = {
    LUMIVOX_FIELD(wireframe),       LUMIVOX_FIELD(showText),        LUMIVOX_FIELD(fontChanged),
    LUMIVOX_FIELD(activeCamera),    LUMIVOX_FIELD(worldScale),      LUMIVOX_FIELD(backgroundRed),
    LUMIVOX_FIELD(backgroundGreen), LUMIVOX_FIELD(backgroundBlue),  LUMIVOX_FIELD(textRed),
    LUMIVOX_FIELD(textGreen),       LUMIVOX_FIELD(textBlue),        LUMIVOX_FIELD(fontHeight),
    LUMIVOX_FIELD(showNormals),     LUMIVOX_FIELD(inverseNormals),  LUMIVOX_FIELD(normalLength),
    LUMIVOX_FIELD(lighting),        LUMIVOX_FIELD(applyOffsetY),    LUMIVOX_FIELD(modelAngle),
    LUMIVOX_FIELD(frameInterval),   LUMIVOX_FIELD(lastFrameTime),   LUMIVOX_FIELD(lightPosition.x),
    LUMIVOX_FIELD(lightPosition.y), LUMIVOX_FIELD(lightPosition.z), LUMIVOX_FIELD(interpolate),
};

#undef LUMIVOX_FIELD

template <typename T> bool Parse(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

} // namespace

bool SetRenderSettingsField(const std::string& name, const std::string& value, std::string& error) {
    for (const Field& field : kFields) {
        if (name != field.name)
            continue;
        const bool parsed =
            std::visit([&](auto* member) { return Parse(value, *member); }, field.get(*theRenderSettings));
        if (!parsed)
            error = "--set " + name + " wants a number, not \"" + value + "\"";
        return parsed;
    }
    error = "--set: no render setting is called \"" + name + "\"";
    return false;
}
