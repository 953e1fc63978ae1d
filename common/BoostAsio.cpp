// The one translation unit that compiles Boost.Asio's implementation; every other
// file sees only its declarations, which keeps the cross build fast.
#include <boost/asio/impl/src.hpp>
