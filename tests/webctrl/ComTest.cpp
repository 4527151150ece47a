#include "Bstr.h"
#include "ComTypes.h"
#include "Guid.h"
#include "Variant.h"

#include <gtest/gtest.h>

using namespace com;

namespace {

// A variant holding a copy of `text`.
VARIANT Text(std::u16string_view text)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    return value;
}

TEST(GuidTest, ParsesAndFormatsTheRegistryForm)
{
    const auto guid = ParseGuid("{6ccf2600-8E27-488a-A4E8-0736d4599923}");
    ASSERT_TRUE(guid);
    EXPECT_EQ(guid->Data1, 0x6CCF2600u);
    EXPECT_EQ(guid->Data2, 0x8E27);
    EXPECT_EQ(guid->Data3, 0x488A);
    EXPECT_EQ(guid->Data4[0], 0xA4);
    EXPECT_EQ(guid->Data4[7], 0x23);
    EXPECT_EQ(FormatGuid(*guid), "{6CCF2600-8E27-488A-A4E8-0736D4599923}");
    EXPECT_EQ(FormatGuid(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(ParseGuid(FormatGuid(IID_IClassFactory)), IID_IClassFactory);
}

TEST(GuidTest, RefusesAnythingElse)
{
    for (const char* text :
         {"", "6CCF2600-8E27-488A-A4E8-0736D4599923", "{6CCF2600-8E27-488A-A4E8-0736D459992}",
          "{6CCF2600-8E27-488A-A4E8-0736D45999233}", "{6CCF2600-8E27-488A-A4E80-736D4599923}",
          "{6CCF2600-8E27-488A-A4E8-0736D459992G}", "{XXXXXXXX-8E27-488A-A4E8-0736D4599923}",
          "(6CCF2600-8E27-488A-A4E8-0736D4599923)"}) {
        EXPECT_FALSE(ParseGuid(text)) << text;
    }
}

TEST(BstrTest, KeepsItsLengthInFrontAndMayHoldNuls)
{
    const char16_t units[] = u"a\0b한";
    BSTR text = SysAllocStringLen(units, 4);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(SysStringByteLen(text), 8u);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(text)[-1], 8u);
    EXPECT_EQ(text[3], u'한');
    EXPECT_EQ(text[4], 0); // terminated
    SysFreeString(text);

    BSTR copy = SysAllocString(u"PixvelDownloader");
    EXPECT_EQ(SysStringLen(copy), 16u);
    SysFreeString(copy);
    BSTR zeros = SysAllocStringLen(nullptr, 3);
    EXPECT_EQ(zeros[0] + zeros[1] + zeros[2], 0);
    SysFreeString(zeros);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocStringLen(u"x", 0x7FFFFFFF), nullptr); // too long for the prefix
}

TEST(VariantTest, ConvertsBetweenNumbersAndText)
{
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = -42;
    VARIANT converted;
    VariantInit(&converted);
    ASSERT_EQ(VariantChangeType(&converted, &number, 0, VT_BSTR), S_OK);
    EXPECT_EQ(std::u16string(converted.bstrVal), u"-42");
    // In place: the string is replaced by the number and freed.
    ASSERT_EQ(VariantChangeType(&converted, &converted, 0, VT_I4), S_OK);
    EXPECT_EQ(converted.vt, VT_I4);
    EXPECT_EQ(converted.lVal, -42);

    for (const auto& [text, expected] :
         std::vector<std::pair<std::u16string, LONG>>{{u"+17", 17}, {u"2147483647", INT32_MAX}}) {
        VARIANT source = Text(text);
        EXPECT_EQ(VariantChangeType(&converted, &source, 0, VT_I4), S_OK);
        EXPECT_EQ(converted.lVal, expected);
        VariantClear(&source);
    }
    for (const std::u16string text : {u"", u"12x", u"2147483648", u" 1", u"１"}) {
        VARIANT source = Text(text);
        EXPECT_EQ(VariantChangeType(&converted, &source, 0, VT_I4), DISP_E_TYPEMISMATCH);
        VariantClear(&source);
    }

    VARIANT flag;
    VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = VARIANT_TRUE;
    EXPECT_EQ(VariantChangeType(&converted, &flag, 0, VT_I4), S_OK);
    EXPECT_EQ(converted.lVal, -1);
    EXPECT_EQ(VariantChangeType(&converted, &number, 0, VT_BOOL), DISP_E_TYPEMISMATCH);

    VARIANT text = Text(u"그대로");
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantChangeType(&copy, &text, 0, VT_BSTR), S_OK);
    EXPECT_NE(copy.bstrVal, text.bstrVal);
    EXPECT_EQ(std::u16string(copy.bstrVal), u"그대로");
    VariantClear(&copy);
    VariantClear(&text);
    EXPECT_EQ(text.vt, VT_EMPTY);
}

TEST(HresultTest, NamesTheCodes)
{
    EXPECT_EQ(HresultText(S_OK), "0x00000000 S_OK");
    EXPECT_EQ(HresultText(SELFREG_E_TYPELIB), "0x80040200 SELFREG_E_TYPELIB");
    EXPECT_EQ(HresultText(SELFREG_E_CLASS), "0x80040201 SELFREG_E_CLASS");
    EXPECT_EQ(HresultText(static_cast<HRESULT>(0x80001234)), "0x80001234");
    EXPECT_TRUE(FAILED(DISP_E_TYPEMISMATCH));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
}

} // namespace
