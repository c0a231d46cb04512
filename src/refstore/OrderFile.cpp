#include "refstore/OrderFile.h"

#include "storage/FileRewrite.h"
#include "storage/FileSystem.h"
#include "storage/LittleEndian.h"
#include "text/Catalogue.h"

#include <algorithm>

namespace cvx {

namespace {

bool IsPermutation(const std::vector<std::int32_t>& order, int n) {
    std::vector<bool> seen(static_cast<std::size_t>(n), false);
    for (std::int32_t i : order) {
        if (i < 0 || i >= n || seen[i]) {
            return false;
        }
        seen[i] = true;
    }
    return true;
}

bool ReadAllOrders(FileSystem& fs, const std::string& orderPath, int n,
                   std::vector<std::vector<std::int32_t>>& orders) {
    std::string image;
    if (n <= 0 || !ReadWholeFile(fs, orderPath, image) ||
        image.size() != std::size_t{24} * static_cast<std::size_t>(n)) {
        return false;
    }
    orders.assign(kStoredOrders, std::vector<std::int32_t>(n));
    for (int k = 0; k < kStoredOrders; ++k) {
        for (int i = 0; i < n; ++i) {
            orders[k][i] = static_cast<std::int32_t>(
                GetLe32(image, (std::size_t{4} * n * k) + std::size_t{4} * i));
        }
        if (!IsPermutation(orders[k], n)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool OrderFileValid(FileSystem& fs, const std::string& orderPath, const std::string& refPath,
                    int n) {
    const FileInfo order = fs.Stat(orderPath);
    return n > 0 && order.exists &&
           order.size == std::uint64_t{24} * static_cast<std::uint64_t>(n) &&
           order.modifiedNs >= fs.Stat(refPath).modifiedNs;
}

bool LoadOrder(FileSystem& fs, const std::string& orderPath, int n, DisplayOrder kind,
               std::vector<std::int32_t>& order) {
    std::vector<std::vector<std::int32_t>> orders;
    const int stored = static_cast<int>(kind);
    if (stored < 0 || stored >= kStoredOrders || !ReadAllOrders(fs, orderPath, n, orders)) {
        order.clear();
        return false;
    }
    order = std::move(orders[static_cast<std::size_t>(stored)]);
    return true;
}

Outcome MoveIndexToEnd(FileSystem& fs, const std::string& orderPath, int n, int index) {
    return MoveIndicesToEnd(fs, orderPath, n, {index});
}

Outcome MoveIndicesToEnd(FileSystem& fs, const std::string& orderPath, int n,
                         const std::vector<int>& indices) {
    std::vector<std::vector<std::int32_t>> orders;
    if (!ReadAllOrders(fs, orderPath, n, orders)) {
        return Outcome::Error(Message(msg::Citavox::OrderFileMismatch));
    }
    // Each order keeps the others as they were and ends with the moved ones as they are listed,
    // which is what moving them to the end one after the other gives, in one pass.
    std::vector<std::int32_t> moved;
    std::vector<bool> moving(static_cast<std::size_t>(std::max(n, 0)), false);
    for (const int index : indices) {
        if (index >= 0 && index < n && !moving[static_cast<std::size_t>(index)]) {
            moving[static_cast<std::size_t>(index)] = true;
            moved.push_back(index);
        }
    }
    for (auto& order : orders) {
        std::erase_if(order, [&](std::int32_t i) { return moving[static_cast<std::size_t>(i)]; });
        order.insert(order.end(), moved.begin(), moved.end());
    }
    return SaveOrders(fs, orderPath, orders);
}

Outcome SaveOrders(FileSystem& fs, const std::string& orderPath,
                   const std::vector<std::vector<std::int32_t>>& orders) {
    std::string image;
    for (const auto& order : orders) {
        for (std::int32_t i : order) {
            PutLe32(image, static_cast<std::uint32_t>(i));
        }
    }
    return WriteFileAtomically(fs, orderPath, image);
}

} // namespace cvx
