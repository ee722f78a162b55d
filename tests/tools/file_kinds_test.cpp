#include "file_kinds.h"

#include <gtest/gtest.h>

#include <string>

namespace orv::tool {
namespace {

// Each kind's fields as "name:type" (T text, D decimal, O octal, H hex, F float): the CSV head
// line, the JSON member names and how each value is written and read.
std::string FieldList(Kind kind) {
    std::string out;
    for (const ColumnDef& f : Info(kind).fields) {
        const char type = f.type == FieldType::Text  ? 'T'
                          : f.type == FieldType::Dec ? 'D'
                          : f.type == FieldType::Oct ? 'O'
                          : f.type == FieldType::Hex ? 'H'
                                                     : 'F';
        out += (out.empty() ? "" : ",") + std::string(f.name) + ":" + type;
    }
    return out;
}

// The field lists come from the records' field tables; what a user's CSV and JSON hold stays.
TEST(FileKindsTest, TheFieldsOfEveryKindStayAsTheFilesTravel) {
    EXPECT_EQ(FieldList(Kind::Formats), "label:T,role:D,msb:D,lsb:D,units:T,weight:F");
    EXPECT_EQ(FieldList(Kind::Dictionary), "label:T,address:O,format:T");
    EXPECT_EQ(FieldList(Kind::Channels), "direction:T,channel:D,rate:D,parity:D");
    EXPECT_EQ(FieldList(Kind::DisplayList), "label:T,channel:D,address:O,format:T");
    EXPECT_EQ(FieldList(Kind::Frame),
              "number:D,pause:D,end:D,label:T,address:O,word:H,format:T,"
              "fmt_label:T,fmt_role:D,fmt_msb:D,fmt_lsb:D,fmt_units:T,fmt_weight:F");
}

}  // namespace
}  // namespace orv::tool
