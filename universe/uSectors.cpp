#include "uSectors.h"

namespace {

int32_t ReadInt(const TCustomTable& table, const char* field) {
    const FieldValue v = table.GetFieldValue(field);
    return v.IsEmpty() ? 0 : v.AsInteger();
}

std::string ReadText(const TCustomTable& table, const char* field) {
    const FieldValue v = table.GetFieldValue(field);
    return v.IsEmpty() ? std::string() : v.AsString();
}

}  // namespace

// --- TSectors ---------------------------------------------------------------

int32_t TSectors::GetCode() const { return ReadInt(*this, "Code"); }
std::string TSectors::GetName() const { return ReadText(*this, "Name"); }
int32_t TSectors::GetRace() const { return ReadInt(*this, "Race"); }
int32_t TSectors::GetX() const { return ReadInt(*this, "x"); }
int32_t TSectors::GetRight() const { return ReadInt(*this, "Right"); }
int32_t TSectors::GetDown() const { return ReadInt(*this, "Down"); }
int32_t TSectors::GetLeft() const { return ReadInt(*this, "Left"); }
int32_t TSectors::GetUp() const { return ReadInt(*this, "Up"); }

// --- TResources -------------------------------------------------------------

std::string TResources::ResourceName(int32_t code) {
    const int32_t n = Locate("Code", code);
    if (n == -1) return {};
    GoToRecord(n);
    return ReadText(*this, "Name");
}

// --- TFabs ------------------------------------------------------------------

std::string TFabs::FabName(int32_t code) {
    const int32_t n = Locate("Code", code);
    if (n == -1) return {};
    GoToRecord(n);
    return ReadText(*this, "Name");
}

int32_t TFabs::FabProduct(int32_t code) {
    const int32_t n = Locate("Code", code);
    if (n == -1) return -1;
    GoToRecord(n);
    return ReadInt(*this, "Product");
}
