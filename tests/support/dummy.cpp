// Keeps the support library non-empty before the first fake lands.
namespace pelorin::testing { int support_library_anchor = 0; }
