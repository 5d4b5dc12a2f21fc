GC.start
GC.compact
puts ARGV.map(&:upcase)
