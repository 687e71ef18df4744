// The line scanner and the radix rules of integer literals.
#include <gtest/gtest.h>

#include "Lexer.h"

using ml::parseInteger;

TEST(Lexer, IntegerSuffixesAndDecimalDefault) {
    EXPECT_EQ(parseInteger("17", 10), 17u);
    EXPECT_EQ(parseInteger("017", 10), 17u);  // a leading zero is still decimal
    EXPECT_EQ(parseInteger("0FFh", 10), 255u);
    EXPECT_EQ(parseInteger("0dh", 10), 13u);
    EXPECT_EQ(parseInteger("1010b", 10), 10u);
    EXPECT_EQ(parseInteger("1010y", 10), 10u);
    EXPECT_EQ(parseInteger("17o", 10), 15u);
    EXPECT_EQ(parseInteger("17q", 10), 15u);
    EXPECT_EQ(parseInteger("19t", 10), 19u);
    EXPECT_EQ(parseInteger("19d", 10), 19u);
    EXPECT_FALSE(parseInteger("12a", 10));   // not a decimal digit
    EXPECT_FALSE(parseInteger("102b", 10));  // 2 is no binary digit
    EXPECT_FALSE(parseInteger("h", 10));
}

TEST(Lexer, RadixSixteenReadsBAndDAsDigits) {
    EXPECT_EQ(parseInteger("1B", 16), 0x1Bu);
    EXPECT_EQ(parseInteger("1D", 16), 0x1Du);
    EXPECT_EQ(parseInteger("11y", 16), 3u);
    EXPECT_EQ(parseInteger("11t", 16), 11u);
    EXPECT_EQ(parseInteger("101", 2), 5u);
}

TEST(Lexer, TokensOfAnInstructionLineStopAtTheComment) {
    std::vector<ml::Token> t;
    auto r = ml::tokenize("  mov eax, [ebx+4]   ; comment, with 'quote", t);
    ASSERT_FALSE(r.error);
    std::vector<std::string_view> texts;
    for (const auto& tok : t) texts.push_back(tok.text);
    EXPECT_EQ(texts, (std::vector<std::string_view>{"mov", "eax", ",", "[", "ebx", "+", "4", "]"}));
}

TEST(Lexer, DottedNamesStringsRealsAndOperators) {
    std::vector<ml::Token> t;
    ASSERT_FALSE(ml::tokenize(".DATA? x BYTE 'it''s', \"a;b\", 3.5E2 .386 [ebx].field == !=", t).error);
    ASSERT_EQ(t.size(), 16u);
    EXPECT_EQ(t[0].text, ".DATA?");
    EXPECT_EQ(t[0].kind, ml::TokenKind::Identifier);
    EXPECT_EQ(t[3].kind, ml::TokenKind::String);
    EXPECT_EQ(ml::unquote(t[3].text), "it's");
    EXPECT_EQ(ml::unquote(t[5].text), "a;b");
    EXPECT_EQ(t[7].kind, ml::TokenKind::Real);
    EXPECT_EQ(t[8].text, ".386");
    EXPECT_TRUE(t[12].is("."));  // after ']' a dot is the field operator
    EXPECT_EQ(t[13].text, "field");
    EXPECT_TRUE(t[14].is("=="));
    EXPECT_TRUE(t[15].is("!="));
}

TEST(Lexer, UnclosedStringIsReported) {
    std::vector<ml::Token> t;
    auto r = ml::tokenize("msg BYTE 'hello", t);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, ml::Diag::MissingQuote);
    EXPECT_EQ(r.errorColumn, 9u);
}

TEST(Lexer, StatementHeadFindsLabelsAndNamedDirectives) {
    auto h = ml::splitHead("again:  mov eax, 1");
    EXPECT_EQ(h.label, "again");
    EXPECT_EQ(h.first, "mov");
    EXPECT_EQ(h.firstRest, "eax, 1");
    auto g = ml::splitHead("outer:: nop");
    EXPECT_TRUE(g.globalLabel);
    auto e = ml::splitHead("count   EQU 10");
    EXPECT_TRUE(e.label.empty());
    EXPECT_EQ(e.second, "EQU");
    EXPECT_EQ(e.secondRest, "10");
    auto m = ml::splitHead("x = 5");
    EXPECT_EQ(m.second, "=");
}

TEST(Lexer, CommentStartsAtTheFirstSemicolonOutsideQuotes) {
    EXPECT_EQ(ml::commentStart("mov eax, 1 ; one"), 11u);
    EXPECT_EQ(ml::commentStart("mov al, ';' ; semicolon"), 12u);
    EXPECT_EQ(ml::commentStart("db \"a;b\", 'c;d'"), 15u);
    EXPECT_EQ(ml::commentStart(""), 0u);
    EXPECT_EQ(ml::commentStart(std::string_view()), 0u);
    EXPECT_EQ(ml::commentStart("db 'it''s;' ; x"), 12u);
    EXPECT_EQ(ml::commentStart("x ; 'quote in the comment"), 2u);
    EXPECT_EQ(ml::commentStart("db 'open ; never closed"), 23u);
    EXPECT_EQ(ml::commentStart("no comment"), 10u);
    EXPECT_EQ(ml::commentStart(""), 0u);
    EXPECT_EQ(ml::commentStart(";"), 0u);
}

namespace {

// The parts of `text` joined back with " | ", each part's tokens joined with blanks.
std::string parts(std::string_view text, std::string_view separator = ",", bool angles = true) {
    std::vector<ml::Token> tokens;
    EXPECT_FALSE(ml::tokenize(text, tokens).error) << text;
    std::string out;
    for (std::span<const ml::Token> part : ml::TokenParts(tokens, separator, angles)) {
        if (!out.empty()) out += " | ";
        std::string joined;
        for (const ml::Token& t : part) joined += (joined.empty() ? "" : " ") + std::string(t.text);
        out += "[" + joined + "]";
    }
    return out;
}

}  // namespace

TEST(Lexer, TopLevelPartsKeepBracketsAndAnglesWhole) {
    EXPECT_EQ(parts("1, (2, 3), <4, 5>"), "[1] | [( 2 , 3 )] | [< 4 , 5 >]");
    EXPECT_EQ(parts("a[ebx, 1], {b, c}"), "[a [ ebx , 1 ]] | [{ b , c }]");
    EXPECT_EQ(parts(""), "[]");
    EXPECT_EQ(parts("x,"), "[x] | []");
    EXPECT_EQ(parts(",,"), "[] | [] | []");
    EXPECT_EQ(parts("<1, 2>, 3", ",", false), "[< 1] | [2 >] | [3]");
    EXPECT_EQ(parts(") , ] , 1"), "[)] | []] | [1]");  // closers without openers are kept
    EXPECT_EQ(parts("a || b && c || (d || e)", "||", false), "[a] | [b && c] | [( d || e )]");
    std::vector<ml::Token> tokens;
    ml::tokenize("4 DUP (1, 2), 3", tokens);
    EXPECT_EQ(ml::splitTokens(tokens).size(), 2u);
}
