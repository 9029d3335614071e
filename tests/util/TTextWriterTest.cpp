#include "util/TTextWriter.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "util/TNumberFormat.h"
#include "util/TRowWriter.h"

namespace {

// Refuses every byte.
class TFailingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

// Enough values to fill any buffer several times over.
std::vector<double> ManyValues()
{
    std::vector<double> VecValues;
    for (std::size_t i = 0; i < 100000; ++i)
        VecValues.push_back(i % 7 == 0 ? -9999.0 : static_cast<double>(i) * 1.1);
    return VecValues;
}

std::string Joined(const std::vector<double>& VecValues, char ChrSeparator, int LngDigits = 15)
{
    std::string StgText;
    for (double DblValue : VecValues)
        StgText += TNumberFormat::ToString(DblValue, LngDigits) + ChrSeparator;
    return StgText;
}

TEST(TextWriter, CollectsTextNumbersAndCells)
{
    TTextWriter Text;
    Text.Put("ncols ");
    Text.PutInteger(-42);
    Text.EndLine();
    Text.PutNumber(2615.17 * 1.1);
    Text.Put(';');
    EXPECT_EQ(Text.Text(), "ncols -42\n2876.687;");

    // Plain numbers right-align as std::setw does, never cutting a longer one.
    Text.Clear();
    std::ostringstream Expected;
    for (double DblValue : {0.0, -9999.0, 2876.687, 4512345.5, 4.1e6, 2.5e-7}) {
        Text.PutPlainNumber(DblValue, 8, 15);
        char Plain[TNumberFormat::MaxLength];
        Expected << std::setw(8) << std::string(Plain, TNumberFormat::WritePlain(DblValue, Plain, 15));
    }
    EXPECT_EQ(Text.Text(), Expected.str());

    // Cells each followed by the separator, growing the text as it needs.
    const double Values[] = {1, 2.5, -9999};
    Text.Clear();
    Text.PutCells(Values, 3, ',');
    Text.PutCells(Values, 0, ',');
    EXPECT_EQ(Text.Text(), "1,2.5,-9999,");

    const std::vector<double> VecMany = ManyValues();
    Text.Clear();
    Text.PutCells(VecMany.data(), VecMany.size(), ' ');
    EXPECT_EQ(Text.Text(), Joined(VecMany, ' '));
}

// Every way of writing numbers gives them the digits asked for.
TEST(TextWriter, DigitsReachEveryNumber)
{
    const std::vector<double> VecValues = {2.0 / 3, 2615.17 * 1.1, -9999, 0.1 + 0.2, 1.0 / 7e9, 123456.5};
    for (int LngDigits : {1, 4, 15, 17}) {
        SCOPED_TRACE(LngDigits);
        const std::string StgLine = Joined(VecValues, ' ', LngDigits);
        TTextWriter Text;
        for (double DblValue : VecValues) {
            Text.PutNumber(DblValue, LngDigits);
            Text.Put(' ');
        }
        EXPECT_EQ(Text.Text(), StgLine);
        Text.Clear();
        Text.PutCells(VecValues.data(), VecValues.size(), ' ', LngDigits);
        EXPECT_EQ(Text.Text(), StgLine);
        Text.Clear();
        TRowWriter Rows(Text, 3, 2, ' ', 0, LngDigits);
        Rows.Put(VecValues.data(), VecValues.size());
        const std::string StgRows =
            Joined({VecValues.begin(), VecValues.begin() + 3}, ' ', LngDigits) + "\n"
            + Joined({VecValues.begin() + 3, VecValues.end()}, ' ', LngDigits) + "\n";
        EXPECT_EQ(Text.Text(), StgRows);
        std::ostringstream Stream;
        TRowWriter::WriteRows(Stream, VecValues.data(), 3, 2, ' ', false, LngDigits);
        EXPECT_EQ(Stream.str(), StgRows);
    }
    // The digits differ, or the test would not tell them apart.
    EXPECT_NE(Joined(VecValues, ' ', 4), Joined(VecValues, ' ', 15));
}

TEST(TextWriter, BoundWriterPassesTextOnInOrder)
{
    const std::vector<double> VecMany = ManyValues();
    const std::string StgLong(300 * 1024, 'x');
    std::ostringstream Stream;
    {
        TTextWriter Text(Stream);
        Text.Put("head ");
        Text.Flush();
        EXPECT_EQ(Stream.str(), "head ");
        Text.PutCells(VecMany.data(), VecMany.size(), ' ');
        EXPECT_GT(Stream.str().size(), 5u);  // the buffer filled and was passed on
        Text.Put(StgLong);
        Text.Put("tail");
    }  // the rest is passed on here
    EXPECT_EQ(Stream.str(), "head " + Joined(VecMany, ' ') + StgLong + "tail");
}

TEST(TextWriter, StreamFailuresStayWithTheStream)
{
    TFailingBuffer Buffer;
    std::ostream Stream(&Buffer);
    Stream.exceptions(std::ios::badbit);
    {
        TTextWriter Text(Stream);
        Text.PutNumber(1.5);
        EXPECT_THROW(Text.Flush(), std::ios::failure);
        Stream.clear();
        Text.PutNumber(2.5);
    }  // the destructor's failure is swallowed
    EXPECT_TRUE(Stream.bad());
}

}  // namespace
