#pragma once

#include <firebird/Interface.h>

#include <memory>
#include <string>

// Attaches a database again after its connection was lost: tries in the background, with a pause
// between tries that grows to two seconds, until a try succeeds or the reattacher is dropped. A try
// under way when it is dropped finishes on its own and lets its connection go.
class Reattacher {
public:
    Reattacher(Firebird::IMaster* master, std::string path);
    ~Reattacher();
    Reattacher(const Reattacher&) = delete;
    Reattacher& operator=(const Reattacher&) = delete;

    // The new connection once a try has made it, handed over once; nullptr until then.
    Firebird::IAttachment* Take();

private:
    struct State;
    std::shared_ptr<State> state_;
};
