#pragma once
// The CSV files the commands read: a recoding table of "from,to" rules and a
// list of "x,y" points. Fields as RFC 4180 has them (quoted fields with ""
// for a quote, commas and line ends inside quotes), CRLF or LF line ends, a
// UTF-8 byte-order mark skipped, blank lines skipped. The first line is a
// header only if its first field does not read as a number. Each record
// keeps the file's own line number (blank lines counted) for messages:
// "Invalid line N of FILE: TEXT". Fields beyond the first two are not read.

#include <istream>
#include <map>
#include <string>
#include <utility>
#include <vector>

class TMapCsv {
public:
    struct TRecord {
        std::size_t LngLine;
        std::vector<std::string> VecFields;
    };

    // The records of the text, the header left out.
    static std::vector<TRecord> Read(std::istream& Input);

    // Two numbers from each record. Throws "Invalid line N of FILE: TEXT".
    static std::vector<std::pair<double, double>> Pairs(const std::vector<TRecord>& VecRecords,
                                                        const std::string& StgName);
    // A recoding table: from each rule's first number to its second. A value
    // given twice, and a table without rules, are refused. NaN may be a key:
    // it recodes NaN cells.
    static std::map<double, double> Rules(const std::vector<TRecord>& VecRecords,
                                          const std::string& StgName, double& DblNaNTo,
                                          bool& BlnNaNRule);
};
