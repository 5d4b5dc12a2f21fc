# Sorts the lines; blank lines go first. Change `sort` to `sort.reverse` for descending order.
puts ARGV.sort
