#include "testkit/InputName.h"

namespace RorozErurEvo {

json InputName::toJson() const { return json{{"id", id}, {"name", name}}; }

InputName InputName::fromJson(const json& value) {
    Json::requireObject(value, "input name");
    return InputName{Json::string(value, "id"), Json::string(value, "name")};
}

} // namespace RorozErurEvo
