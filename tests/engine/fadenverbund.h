#pragma once
// The processes of a shared run played by threads of one test: each thread
// runs its own simulation with a Fadenverbund of its rank, and the exchanges
// meet at a barrier.

#include <barrier>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "engine/verbund.h"

namespace velkor::test {

class Fadenrunde {
 public:
  explicit Fadenrunde(int32_t groesse)
      : groesse(groesse),
        schranke(groesse),
        werte(static_cast<std::size_t>(groesse)),
        bytes(static_cast<std::size_t>(groesse)),
        post(static_cast<std::size_t>(groesse * groesse)) {}

  const int32_t groesse;
  std::barrier<> schranke;
  std::vector<uint64_t> werte;
  std::vector<const std::vector<unsigned char>*> bytes;
  std::string text;
  // Messages from one rank to another, von * groesse + an.
  std::mutex sperre;
  std::condition_variable neu;
  std::vector<std::deque<std::string>> post;
};

class Fadenverbund : public Verbund {
 public:
  Fadenverbund(Fadenrunde& runde, int32_t rang) : runde_(runde), rang_(rang) {}
  int32_t rang() const override { return rang_; }
  int32_t groesse() const override { return runde_.groesse; }
  void alleWerte(uint64_t eigen, std::vector<uint64_t>& alle) override {
    runde_.werte[static_cast<std::size_t>(rang_)] = eigen;
    runde_.schranke.arrive_and_wait();
    alle = runde_.werte;
    runde_.schranke.arrive_and_wait();
  }
  void alleBytes(const std::vector<unsigned char>& eigen, std::vector<unsigned char>& alle,
                 std::vector<std::size_t>& grenzen) override {
    runde_.bytes[static_cast<std::size_t>(rang_)] = &eigen;
    runde_.schranke.arrive_and_wait();
    alle.clear();
    grenzen.assign(1, 0);
    for (const std::vector<unsigned char>* b : runde_.bytes) {
      alle.insert(alle.end(), b->begin(), b->end());
      grenzen.push_back(alle.size());
    }
    runde_.schranke.arrive_and_wait();
  }
  void verbreiten(std::string& text, int32_t von) override {
    if (rang_ == von) runde_.text = text;
    runde_.schranke.arrive_and_wait();
    text = runde_.text;
    runde_.schranke.arrive_and_wait();
  }
  void senden(const std::string& text, int32_t an) override {
    std::lock_guard<std::mutex> l(runde_.sperre);
    runde_.post[static_cast<std::size_t>(rang_ * runde_.groesse + an)].push_back(text);
    runde_.neu.notify_all();
  }
  void empfangen(std::string& text, int32_t von) override {
    std::unique_lock<std::mutex> l(runde_.sperre);
    std::deque<std::string>& fach = runde_.post[static_cast<std::size_t>(von * runde_.groesse + rang_)];
    runde_.neu.wait(l, [&] { return !fach.empty(); });
    text = std::move(fach.front());
    fach.pop_front();
  }

 private:
  Fadenrunde& runde_;
  int32_t rang_;
};

}  // namespace velkor::test
