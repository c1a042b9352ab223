#include "character/cls_item.h"
#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

clsItem itemWithTags(const Text& tagList)
{
    clsItem item;
    item.setTagList(tagList);
    return item;
}

} // namespace

TEST(ItemTagList, NewTagListNormalises)
{
    clsItem item;
    item.NewTagList(u"name(Sword, big), nameext(x) ,  points(3)");
    EXPECT_EQ(item.TagList(), u",name(Sword, big),nameext(x),points(3)");
    item.NewTagList(u"");
    EXPECT_EQ(item.TagList(), u",");
    item.NewTagList(u"a,,b");
    EXPECT_EQ(item.TagList(), u",a,,b");
    item.NewTagList(u")a,b");
    EXPECT_EQ(item.TagList(), u",)a,b");
    item.NewTagList(u"note(\"x, y\"), q");
    EXPECT_EQ(item.TagList(), u",note(\"x, y\"),q");
    item.NewTagList(u"\tname(a)\t, b"); // only blanks are trimmed
    EXPECT_EQ(item.TagList(), u",\tname(a)\t,b");
}

TEST(ItemTagList, TagItemReads)
{
    EXPECT_EQ(itemWithTags(u",name(Sword)").TagItem(u"NAME"), u"Sword");
    EXPECT_EQ(itemWithTags(u",name(Sword").TagItem(u"name"), u"");
    EXPECT_EQ(itemWithTags(u",name(a(b)c),x(1)").TagItem(u"name"), u"a(b)c");
    EXPECT_EQ(itemWithTags(u"name(Sword)").TagItem(u"name"), u"") << "the first tag needs its comma";
    EXPECT_EQ(itemWithTags(u",note(see ,name(x)),name(y)").TagItem(u"name"), u"x") << "plain text search";
    EXPECT_EQ(itemWithTags(u",Name(Keeps Case)").TagItem(u"name"), u"Keeps Case");
    EXPECT_EQ(itemWithTags(u",points(3)").TagItem(u"level"), u"");
    EXPECT_EQ(itemWithTags(u",name x,name(y)").TagItem(u"name"), u"y") << "a name needs its bracket";
    EXPECT_EQ(itemWithTags(u",ÄRA(alt)").TagItem(u"Ära"), u"alt") << "letter case beyond ASCII";
    EXPECT_EQ(itemWithTags(u",na").TagItem(u"name"), u"");
    EXPECT_EQ(itemWithTags(u",levelx(1),level(2)").TagItem(u"level"), u"2");
    // Characters one of whose bytes is a comma's are no commas.
    EXPECT_EQ(itemWithTags(u",n(\u012C\u2C00name(x)\u2C2C),name(y)").TagItem(u"name"), u"y");
    EXPECT_EQ(itemWithTags(u",n(\u2C2C,name(z))").TagItem(u"name"), u"z");
}

TEST(ItemTagList, TagItemWrites)
{
    clsItem item = itemWithTags(u",name(x),points(3)");
    item.setTagItem(u"points", u"5");
    EXPECT_EQ(item.TagList(), u",name(x),points(5)");
    item = itemWithTags(u",name(x)");
    item.setTagItem(u"Points", u"5");
    EXPECT_EQ(item.TagList(), u",name(x),Points(5)");
    item = itemWithTags(u",name(x");
    item.setTagItem(u"name", u"y");
    EXPECT_EQ(item.TagList(), u",name(x") << "an unclosed tag is left alone";
    item = itemWithTags(u",a(1),b(2)");
    item.setTagItem(u"a", u"(");
    EXPECT_EQ(item.TagList(), u",a((),b(2)");
    EXPECT_EQ(item.TagItem(u"a"), u"") << "unbalanced value moves the end of the tag";
}

TEST(ItemTagList, FullName)
{
    EXPECT_EQ(itemWithTags(u",name(Karate),nameext(Kick)").TagFullName(), u"Karate (Kick)");
    EXPECT_EQ(itemWithTags(u",name(Karate),nameext()").TagFullName(), u"Karate");
    EXPECT_EQ(itemWithTags(u",nameext(Kick)").TagFullName(), u" (Kick)");
    clsItem item = itemWithTags(u",name(A)");
    item.setTagFullName(u"ignored");
    EXPECT_EQ(item.TagFullName(), u"A");
}

TEST(ItemKeys, RiseAndClearGivesZero)
{
    clsItem a;
    clsItem b;
    EXPECT_EQ(b.IDKey(), a.IDKey() + 1);
    b.setIDKey(999);
    EXPECT_EQ(b.IDKey(), a.IDKey() + 1);
    b.setName(u"n");
    b.setFlag(3);
    b.Clear();
    EXPECT_EQ(b.IDKey(), 0);
    EXPECT_EQ(b.Name(), u"");
    EXPECT_EQ(b.Flag(), 0);
    clsItem c;
    EXPECT_EQ(c.IDKey(), a.IDKey() + 2);
}

TEST(ItemChildren, AddChild)
{
    clsItem item;
    item.AddChild(15, 6);
    item.AddChild(5, 6);
    EXPECT_EQ(item.ChildKeyList(), u"15,5");
    EXPECT_EQ(item.ChildTypeList(), u"6,6");
    item.AddChild(5, 7);
    EXPECT_EQ(item.ChildKeyList(), u"15,5");
    item.AddChild(1, 7);
    EXPECT_EQ(item.ChildKeyList(), u"15,5,1");
    EXPECT_EQ(item.ChildTypeList(), u"6,6,7");
    item.setChildKeyList(u"  ");
    item.setChildTypeList(u"9,9");
    item.AddChild(-4, 2);
    EXPECT_EQ(item.ChildKeyList(), u"-4");
    EXPECT_EQ(item.ChildTypeList(), u"2");
}

TEST(ItemChildren, RemoveChildNormalises)
{
    clsItem item;
    item.setChildKeyList(u"15,5");
    item.setChildTypeList(u"6,6");
    item.RemoveChild(9);
    EXPECT_EQ(item.ChildKeyList(), u"15,5");
    item.RemoveChild(15);
    EXPECT_EQ(item.ChildKeyList(), u"5");
    EXPECT_EQ(item.ChildTypeList(), u"6");

    item.setChildKeyList(u"3, 04,x");
    item.setChildTypeList(u"6");
    item.RemoveChild(3);
    EXPECT_EQ(item.ChildKeyList(), u"4,0");
    EXPECT_EQ(item.ChildTypeList(), u"0,0");

    item.setChildKeyList(u"7,8,7");
    item.setChildTypeList(u"1,2,3");
    item.RemoveChild(7);
    EXPECT_EQ(item.ChildKeyList(), u"7,8") << "the last match is removed";
    EXPECT_EQ(item.ChildTypeList(), u"1,2");
}

TEST(ItemTagList, OverLongTextsOverflow)
{
    clsItem item;
    try {
        item.NewTagList(Text(40000, u'x'));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), vberr::Overflow);
    }
}
