#pragma once

#include <string>
#include <vector>

class Database;

// A group of the master table as the relinking tools name it.
struct GroupEntry {
    int number = 0;
    std::string name;  // code-page bytes
};

// Every group of the master table in ascending number; none when it cannot be read.
std::vector<GroupEntry> ReadGroups(Database& database);
