#include "search/search_worker.h"

Database* SearchWorker::Use() {
    bool fresh = false;
    return connection_.Use(fresh);
}

SearchOutcome SearchWorker::FindText(const SearchNeedle& needle) {
    Database* const database = Use();
    return database != nullptr ? ::FindText(*database, needle)
                               : SearchOutcome{SearchOutcome::State::NotAttached};
}

SearchOutcome SearchWorker::FindFile(const std::string& folder, const std::string& fileName) {
    Database* const database = Use();
    return database != nullptr ? ::FindFile(*database, folder, fileName)
                               : SearchOutcome{SearchOutcome::State::NotAttached};
}

bool SearchWorker::WarmUpStep() {
    Database* const database = Use();
    return database != nullptr && warmUp_.Step(*database);
}
