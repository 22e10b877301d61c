// Keeps the library non-empty while it has no sources of its own.
namespace tarne {}
