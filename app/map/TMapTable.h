#pragma once
// The CSV files the commands read, as lines of fields: a recoding table of
// "from,to" lines and a list of "x,y" points. A first line that is not two
// numbers is a header and skipped; any other such line fails with
// "Invalid line N of FILE: TEXT".

#include <map>
#include <string>
#include <utility>
#include <vector>

class TMapTable {
public:
    using TLines = std::vector<std::vector<std::string>>;

    static std::map<double, double> Recoding(const TLines& VecLines, const std::string& StgName);
    static std::vector<std::pair<double, double>> Points(const TLines& VecLines,
                                                         const std::string& StgName);
};
