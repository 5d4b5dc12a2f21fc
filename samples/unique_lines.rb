# Drops repeated lines, keeping the first of each, in their order.
puts ARGV.uniq
