#pragma once
// X readers only the benchmarks need, on the test kit's connection.
#include "support/x_probe.h"

#include <xcb/xcb.h>

#include <QPoint>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace testsupport::x {

struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using BenchReply = std::unique_ptr<T, FreeReply>;

inline QPoint rootPosition(std::uint32_t window) {
  const BenchReply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
      connection(), xcb_translate_coordinates(connection(), window, root(), 0, 0), nullptr));
  return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
}

inline std::vector<std::uint32_t> clientsOf(std::int64_t pid) {
  std::vector<std::uint32_t> out;
  const auto pidOf = [](std::uint32_t w) {
    const auto raw = property(w, "_NET_WM_PID");
    std::uint32_t value = 0;
    if (raw && raw->size() == 4) {
      std::memcpy(&value, raw->constData(), 4);
    }
    return static_cast<std::int64_t>(value);
  };
  const BenchReply<xcb_query_tree_reply_t> top(
      xcb_query_tree_reply(connection(), xcb_query_tree(connection(), root()), nullptr));
  if (!top) {
    return out;
  }
  const xcb_window_t* frames = xcb_query_tree_children(top.get());
  for (int i = 0; i < xcb_query_tree_children_length(top.get()); ++i) {
    // A client sits on the root (no manager) or one or two levels inside its frame.
    std::vector<std::uint32_t> level{frames[i]};
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
      std::vector<std::uint32_t> next;
      for (const std::uint32_t w : level) {
        if (pidOf(w) == pid) {
          out.push_back(w);
          continue;
        }
        const BenchReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection(), xcb_query_tree(connection(), w), nullptr));
        if (tree) {
          const xcb_window_t* kids = xcb_query_tree_children(tree.get());
          next.insert(next.end(), kids, kids + xcb_query_tree_children_length(tree.get()));
        }
      }
      level = std::move(next);
    }
  }
  return out;
}

}  // namespace testsupport::x
