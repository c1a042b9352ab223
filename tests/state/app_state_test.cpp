#include "state/app_state.h"
#include "state/document_title.h"

#include "common/file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace quillet;

TEST(MousePointerStack, HourglassRaisesBusyUntilTheLastPop)
{
    AppState s;
    std::vector<int16_t> shown;
    s.showMousePointer = [&](int16_t p) { shown.push_back(p); };
    s.PopMousePointer(); // never pushed: nothing happens
    EXPECT_TRUE(shown.empty());

    s.PushMousePointer(kPointerHourglass);
    EXPECT_EQ(s.Busy, kTrue);
    s.PushMousePointer(kPointerHourglass);
    s.PopMousePointer();
    EXPECT_EQ(s.Busy, kTrue) << "the restored pointer is the hourglass";
    EXPECT_EQ(s.mousePointer(), kPointerHourglass);
    s.PopMousePointer();
    EXPECT_EQ(s.Busy, kFalse);
    EXPECT_EQ(s.mousePointer(), kPointerDefault);

    s.Busy = kTrue;
    s.PushMousePointer(5);
    s.PopMousePointer();
    EXPECT_EQ(s.mousePointer(), 0);
    s.Busy = kTrue;
    s.PopMousePointer(); // only position 0 left: default pointer, Busy untouched
    EXPECT_EQ(s.Busy, kTrue);
    EXPECT_EQ(shown.back(), kPointerDefault);
}

TEST(SharedState, DefaultsAndClearCharacter)
{
    AppState s;
    s.HomePath = u"/opt/quillet/";
    s.SetDefaults();
    EXPECT_EQ(s.TesseraFile, u"/opt/quillet/chrsht.tsx");
    EXPECT_EQ(s.CharDir, u"/opt/quillet/");
    EXPECT_EQ(s.PrinterFont, u"Arial");
    EXPECT_EQ(s.LogTop, 4515);
    s.currentCharacter().Name = u"Old";
    s.ClearCharacter();
    EXPECT_EQ(s.Characters.Count(), 1);
    EXPECT_EQ(s.CurrentCharacter, 1);
    EXPECT_EQ(s.currentCharacter().Name, u"");
    EXPECT_EQ(VersionText(), u"v2.0 \u00DF14");
}

TEST(SharedState, FindLast)
{
    int16_t start = -1;
    EXPECT_EQ(FindLast(start, u"/chars/bob/ann.kvr", u"/"), 11);
    EXPECT_EQ(start, 18);
    start = 10;
    EXPECT_EQ(FindLast(start, u"/chars/bob/ann.kvr", u"/"), 7);
    start = -1;
    EXPECT_EQ(FindLast(start, u"ann.kvr", u"/"), 0);
    start = -1;
    EXPECT_EQ(FindLast(start, u"aaa", u"aa"), 2);
    EXPECT_EQ(folderOf(u"/chars/ann.kvr"), u"/chars/");
    EXPECT_EQ(fileNameOf(u"/chars/ann.kvr"), u"ann.kvr");
    EXPECT_EQ(withExtension(u"/chars/ann.KVR", u".pdf"), u"/chars/ann.pdf");
    EXPECT_EQ(withExtension(u"/ch.ars/ann", u".pdf"), u"/ch.ars/ann.pdf") << "a dot in a folder is no extension";
    EXPECT_EQ(withExtension(u"/chars/.hidden", u".pdf"), u"/chars/.hidden.pdf");
}

TEST(DocumentTitle, TheCharactersNameAndTheSheetsFileName)
{
    AppState state;
    state.TesseraFile = u"/sheets/chrsht.tsx";
    EXPECT_EQ(sheetDocumentTitle(state), u"chrsht.tsx");
    state.currentCharacter().Name = u" Sir Aldric Venn ";
    EXPECT_EQ(sheetDocumentTitle(state), u"Sir Aldric Venn - chrsht.tsx");
    state.TesseraFile.clear();
    EXPECT_EQ(sheetDocumentTitle(state), u"Sir Aldric Venn");
}
